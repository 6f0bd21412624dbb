#pragma once

#include <QtGlobal>

#include <functional>

// Qt's X11 plugin ends the process with exit(1) when the connection to the X
// server breaks (xkill, the server going away), from inside the event loop
// and with no event or signal first, so the window is never unloaded. While an
// object of this class lives, such an exit runs `close` first (closing the
// port also removes its lock file) and ends with `exitCode` instead.
class ForcedExitGuard
{
    Q_DISABLE_COPY_MOVE(ForcedExitGuard)

public:
    ForcedExitGuard(std::function<void()> close, int exitCode);
    ~ForcedExitGuard();
};
