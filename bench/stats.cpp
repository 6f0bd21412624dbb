#include "stats.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace Bench {

Summary summarize(std::vector<double> samples)
{
    Summary s;
    if (samples.empty())
        return s;
    std::sort(samples.begin(), samples.end());
    const size_t n = samples.size();
    s.count = int(n);
    s.median = n % 2 ? samples[n / 2] : (samples[n / 2 - 1] + samples[n / 2]) / 2;
    s.p99 = samples[size_t(std::ceil(0.99 * double(n))) - 1];
    s.max = samples.back();
    return s;
}

QString number(double value, int decimals)
{
    return QString::number(value, 'f', decimals);
}

QString describe(const Summary &s, const char *unit, int decimals)
{
    return QStringLiteral("%1 / %2 / %3 %4")
        .arg(number(s.median, decimals), number(s.p99, decimals), number(s.max, decimals),
             QLatin1String(unit));
}

static QString missedBy(double excess, const char *unit, int decimals)
{
    return QStringLiteral("missed by %1 %2").arg(number(excess, decimals), QLatin1String(unit));
}

QString atMost(double value, double limit, const char *unit, int decimals)
{
    return value <= limit ? QStringLiteral("met") : missedBy(value - limit, unit, decimals);
}

QString under(double value, double limit, const char *unit, int decimals)
{
    return value < limit ? QStringLiteral("met") : missedBy(value - limit, unit, decimals);
}

void row(const QString &id, const QString &what, const QString &figure, const QString &goal,
         const QString &verdict)
{
    // Tab-separated and prefixed, so stray output from a library cannot pass for a row.
    const QString line = QStringLiteral("row\t%1\t%2\t%3\t%4\t%5\n")
                             .arg(id, what, figure, goal.isEmpty() ? QStringLiteral("-") : goal,
                                  verdict.isEmpty() ? QStringLiteral("-") : verdict);
    std::fputs(line.toUtf8().constData(), stdout);
    std::fflush(stdout);
}

void note(const QString &text)
{
    std::fputs((text + QLatin1Char('\n')).toUtf8().constData(), stderr);
    std::fflush(stderr);
}

} // namespace Bench
