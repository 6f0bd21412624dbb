#pragma once

#include "board_emulator.h"
#include "board_program.h"

// What an emulated board holds, as a board's program: every cell on or off,
// its mode, and whether Start was its last command. The board stays free of
// the panel's code; only this adapter knows both.
BoardProgram heldProgram(const BoardEmulator &board);
