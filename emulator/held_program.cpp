#include "held_program.h"

BoardProgram heldProgram(const BoardEmulator &board)
{
    using Cell = BoardProgram::Cell;
    BoardProgram program;
    const BoardEmulator::Cells cells = board.cells();
    for (int minute = 1; minute <= BoardProgram::Minutes; ++minute) {
        for (int bit = 0; bit < BoardProgram::Bits; ++bit) {
            const bool on = (cells[std::size_t(minute - 1)] >> bit) & 1;
            program.setCell(minute, bit, on ? Cell::On : Cell::Off);
        }
    }
    program.mode = qint16(board.mode());
    program.start = board.isStarted();
    return program;
}
