#include "forced_exit_guard.h"

#include "standard_streams.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <utility>

namespace {

std::function<void()> s_close;
int s_exitCode = 0;

extern "C" void onExit()
{
    if (!s_close)
        return;   // main returned: an end the program chose
    std::exchange(s_close, nullptr)();
    // _Exit() skips the rest of exit(): the trace of the close with it.
    StandardStreams::drain(std::chrono::seconds(1));
    std::fflush(nullptr);
    std::_Exit(s_exitCode);
}

} // namespace

ForcedExitGuard::ForcedExitGuard(std::function<void()> close, int exitCode)
{
    // Registered once, after Qt's start-up: it runs before the static objects
    // made until now are destroyed.
    static const bool registered = std::atexit(onExit) == 0;
    Q_UNUSED(registered);
    s_close = std::move(close);
    s_exitCode = exitCode;
}

ForcedExitGuard::~ForcedExitGuard()
{
    s_close = nullptr;
}
