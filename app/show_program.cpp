#include "show_program.h"

#include "board_program.h"
#include "command_line.h"
#include "exit_code.h"
#include "program_grid.h"
#include "read_session_file.h"

#include <cstdio>

int showProgram(const QString &file)
{
    const auto steps = readSessionFile(file);
    if (!steps)
        return CommandLine::SessionFileRefused;
    // In one piece: on Windows it may be one message box.
    CommandLine::print(stdout, ProgramGrid::text(BoardProgram::fromSteps(*steps)));
    // A grid that never arrived (a full disk) must not pass for one shown.
    return std::ferror(stdout) ? CommandLine::Failure : CommandLine::Ok;
}
