#include "line_trace.h"

#include <QElapsedTimer>

Q_LOGGING_CATEGORY(lcLine, "programador.line", QtInfoMsg)

namespace LineTrace {

static QElapsedTimer &clock()
{
    static QElapsedTimer started = [] {
        QElapsedTimer t;
        t.start();
        return t;
    }();
    return started;
}

void startClock()
{
    clock();
}

QString quoted(const QByteArray &bytes)
{
    QString out;
    out.reserve(bytes.size() + 2);
    out += QLatin1Char('"');
    for (const char c : bytes) {
        const auto u = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\')
            out += QLatin1String(c == '"' ? "\\\"" : "\\\\");
        else if (u >= 0x20 && u < 0x7f)
            out += QLatin1Char(c);
        else
            out += QStringLiteral("\\x%1").arg(u, 2, 16, QLatin1Char('0'));
    }
    out += QLatin1Char('"');
    return out;
}

void write(const QString &event)
{
    const double ms = double(clock().nsecsElapsed()) / 1e6;
    qCDebug(lcLine).noquote() << QStringLiteral("%1 ms  %2").arg(ms, 9, 'f', 1).arg(event);
}

} // namespace LineTrace
