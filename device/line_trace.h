#pragma once

#include <QLoggingCategory>

// A trace of the traffic on the serial line, for seeing what a board does:
// qCDebug(lcLine), one line per event. Off by default, on with --trace or
// QT_LOGGING_RULES="programador.line=true".
Q_DECLARE_LOGGING_CATEGORY(lcLine)

namespace LineTrace {

// Turns the trace on or off whatever the logging rules say (--trace asks by
// name). The programs' message pattern (CommandLine::useMessagePattern())
// stamps its lines with the time since start and the category.
void setUp(bool on);

} // namespace LineTrace
