// A program that ends as programador and board-emulator do, right after
// logging more than its standard error's pipe holds:
//   program_end_child LINES           main() returns
//   program_end_child LINES forced    exit(1) from inside, the forced end armed
#include "program_end.h"

#include <QtGlobal>

#include <cstdlib>
#include <cstring>

int main(int argc, char *argv[])
{
    ProgramEnd::begin();
    const bool forced = argc > 2 && std::strcmp(argv[2], "forced") == 0;
    if (forced)
        ProgramEnd::armForcedEnd([] { qWarning("first"); }, 4);
    const int lines = argc > 1 ? std::atoi(argv[1]) : 0;
    for (int i = 0; i < lines; ++i)
        qWarning("line %d of the program's end, padded to a hundred bytes or so: ........................", i);
    if (forced)
        std::exit(1);
    return 0;
}
