#pragma once

// What ends the program from outside, as a Qt signal on the event thread,
// terminationRequested(int): Unix signals, or the Windows console's events.
#ifdef Q_OS_WIN
#include "windows_console.h"
using TerminationWatcher = WindowsConsoleWatcher;
#else
#include "unix_signal_watcher.h"
using TerminationWatcher = UnixSignalWatcher;
#endif
