#pragma once

#include <QtGlobal>

#include <functional>

// Qt's X11 plugin ends the process with exit(1) when the connection to the X
// server breaks (xkill, the server going away), from inside the event loop
// and with no event or signal first, so the window is never unloaded. While an
// object of this class lives, such an exit runs `end` with `exitCode` first
// (the window unloads: closing the port also removes its lock file) and then
// ends with exitCode (ProgramEnd::now()): the event loop never runs again.
// Made once QApplication stands, so it runs before Qt's static objects go.
class X11ExitGuard
{
    Q_DISABLE_COPY_MOVE(X11ExitGuard)

public:
    X11ExitGuard(const std::function<void(int)> &end, int exitCode);
    ~X11ExitGuard();
};
