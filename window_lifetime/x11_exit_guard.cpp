#include "x11_exit_guard.h"

#include "program_end.h"

X11ExitGuard::X11ExitGuard(const std::function<void(int)> &end, int exitCode)
{
    ProgramEnd::armForcedEnd([end, exitCode] { end(exitCode); }, exitCode);
}

X11ExitGuard::~X11ExitGuard()
{
    ProgramEnd::disarmForcedEnd();
}
