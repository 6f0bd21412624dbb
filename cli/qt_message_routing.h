#pragma once

#include "line_writer.h"

#include <QtGlobal>

// Qt's messages, the line trace among them, formatted by the message pattern
// and written through line writers, so that a slow reader never holds up the
// thread that logs; a fatal one is written before the program aborts. On
// Windows, while standard error reaches nobody, Qt's own handler takes them
// (it tells a debugger), but for a category routed elsewhere.
namespace QtMessageRouting {

// Qt's messages go to `writer` from now on. Gives the handler that was
// installed before.
QtMessageHandler routeTo(LineWriter &writer);
// Beside routeTo(): the messages of one category go to `writer` instead
// (none: no longer), e.g. a program's log to standard output and its
// warnings to standard error. One category at a time, set before its
// messages; the name is kept, not copied, as QLoggingCategory keeps it.
void routeCategory(const char *category, LineWriter *writer);

} // namespace QtMessageRouting
