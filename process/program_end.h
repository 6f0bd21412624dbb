#pragma once

#include <QtGlobal>

#include <functional>

// How programador's and board-emulator's processes end, in one place: the
// exit hooks and Qt's message handlers, set up in this order.
//
// 1. begin(), both programs, first thing in main(): standard output and error
//    reach the user (on Windows the console we were started from), a reader
//    that goes away ends nothing (SIGPIPE ignored), Qt's messages in the
//    programs' pattern go to standard error's line writer (the handler at the
//    bottom), and the exit hook that drains the standard streams: registered
//    first, it runs last, and before the static objects made until then are
//    destroyed.
// 2. The window's, while QApplication starts: filterMessages() stacks a
//    filter over the handler of 1 (DisplayFailureReport), taken off once the
//    application object stands.
// 3. The window's, once QApplication stands: armForcedEnd(), for an exit()
//    the program did not call (X11ExitGuard). Its hook, registered then, runs
//    first in exit(), before Qt's own static objects are destroyed.
//
// Either program ends by main() returning, or where it cannot return (2 and
// 3) by now(). exit() runs the hooks: 3's finds nothing to do unless armed,
// 1's drains the standard streams.
namespace ProgramEnd {

void begin();

// Sees each of Qt's messages before the handler of 1; true: taken, not
// passed on. An empty filter takes the one there off.
using MessageFilter = std::function<bool(QtMsgType, const QMessageLogContext &, const QString &)>;
void filterMessages(MessageFilter filter);

// From now on exit() runs `first`, then ends with exitCode by now(). One at
// a time; disarmForcedEnd() before the program's own end.
void armForcedEnd(std::function<void()> first, int exitCode);
void disarmForcedEnd();

// Ends the process with exitCode at once, past exit()'s hooks and the static
// objects' destructors, once what the standard streams hold is out (a
// second at most) and stdio's buffers are flushed.
[[noreturn]] void now(int exitCode);

} // namespace ProgramEnd
