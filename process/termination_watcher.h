#pragma once

#include <QtGlobal>

// What ends the program from outside, as a Qt signal on the event thread,
// terminationRequested(int): Unix signals, or the Windows console's events.
#ifdef Q_OS_WIN
#include "windows_console_watcher.h"
using TerminationWatcher = WindowsConsoleWatcher;
#else
#include "unix_signal_watcher.h"
using TerminationWatcher = UnixSignalWatcher;
#endif
