#pragma once

#include "board_program.h"

#include <QString>

// A board's program as text: what `programador --show` says a session file
// leaves on a board, and what board-emulator says it holds, in one form so
// that the two compare with diff. Ten lines, minutes 1 to 10, each the minute
// in two columns, a space and bits 0 to 7 from left to right: On, Off, or
// Untouched for a cell left as the board has it. Then the mode and whether
// Start ends the program, in the user's language. Every line ends in '\n'.
namespace ProgramGrid {

inline constexpr char On = '#';
inline constexpr char Off = '.';
inline constexpr char Untouched = '-';

QString text(const BoardProgram &program);

} // namespace ProgramGrid
