#pragma once

#include <QString>

// programador --show: prints what a session file ("-": standard input)
// leaves on a board, as ProgramGrid writes it; the exit code. Needs the
// application object, and no display.
int showProgram(const QString &file);
