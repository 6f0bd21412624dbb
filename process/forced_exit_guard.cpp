#include "forced_exit_guard.h"

#include "program_end.h"

#include <utility>

ForcedExitGuard::ForcedExitGuard(std::function<void()> close, int exitCode)
{
    ProgramEnd::armForcedEnd(std::move(close), exitCode);
}

ForcedExitGuard::~ForcedExitGuard()
{
    ProgramEnd::disarmForcedEnd();
}
