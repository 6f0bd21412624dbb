#pragma once

#include <QByteArray>
#include <QLoggingCategory>
#include <QString>

// A trace of the traffic on the serial line, for seeing what a board does:
// off by default, on with --trace or QT_LOGGING_RULES="programador.line=true".
Q_DECLARE_LOGGING_CATEGORY(lcLine)

namespace LineTrace {

// Starts the clock the trace's times count from; the program calls it first thing.
void startClock();
// Bytes in quotes, printable ASCII as is, anything else as \xNN (and \" \\),
// so every byte value reads back unambiguously.
QString quoted(const QByteArray &bytes);
// One line of the trace, stamped with the milliseconds since start.
void write(const QString &event);

} // namespace LineTrace

// Builds the event's text only when the trace is on: free otherwise.
#define LINE_TRACE(event)                          \
    do {                                           \
        if (lcLine().isDebugEnabled())             \
            LineTrace::write(event);               \
    } while (false)
