#pragma once

#include "line_trace.h"
// By path: the device tests link nothing of cli/.
#include "../../cli/message_pattern.h"

#include <QRegularExpression>
#include <QStringList>

// The line trace while `work` runs, each line as the program writes it on
// standard error, with the trace set up as with --trace (on) or without.
namespace LineTraceCapture {

inline QStringList *lines = nullptr;
inline QtMessageHandler others = nullptr;

template<typename Work>
QStringList of(bool on, Work work)
{
    QStringList captured;
    lines = &captured;
    others = qInstallMessageHandler(
        [](QtMsgType type, const QMessageLogContext &context, const QString &message) {
            if (qstrcmp(context.category, "programador.line") == 0)
                lines->append(qFormatLogMessage(type, context, message));
            else
                others(type, context, message);
        });
    CommandLine::useMessagePattern();
    LineTrace::setUp(on);
    work();
    LineTrace::setUp(false);
    qInstallMessageHandler(others);
    lines = nullptr;
    return captured;
}

// The events of trace lines; a line without its time and category, or
// spread over more than one line, shows as such.
inline QStringList events(const QStringList &traced)
{
    static const QRegularExpression stamp(QStringLiteral(R"(^ *\d+\.\d{3} programador\.line: )"));
    QStringList out;
    for (const QString &line : traced) {
        const QRegularExpressionMatch head = stamp.match(line);
        out << (!head.hasMatch() || line.contains(QLatin1Char('\n'))
                    ? QStringLiteral("malformed: ") + line
                    : line.mid(head.capturedLength()));
    }
    return out;
}

} // namespace LineTraceCapture
