#pragma once

#include <QString>

#include <chrono>
#include <vector>

// The few figures every benchmark reports, and the one table they all feed.
namespace Bench {

using Clock = std::chrono::steady_clock;

inline double msBetween(Clock::time_point from, Clock::time_point to)
{
    return std::chrono::duration<double, std::milli>(to - from).count();
}

struct Summary
{
    int count = 0;
    double median = 0;
    double p99 = 0;   // nearest rank
    double max = 0;
};

Summary summarize(std::vector<double> samples);

// "0.12 / 0.95 / 1.40 ms": median / p99 / max.
QString describe(const Summary &summary, const char *unit = "ms", int decimals = 2);
QString number(double value, int decimals = 2);

// Goal verdicts: "met", or "missed by 3.1 ms".
QString atMost(double value, double limit, const char *unit = "ms", int decimals = 2);
QString under(double value, double limit, const char *unit = "ms", int decimals = 2);

// One line of the results table on stdout; bench/run.sh lines them up.
void row(const QString &id, const QString &what, const QString &figure,
         const QString &goal = QString(), const QString &verdict = QString());

// Progress and details go to stderr so stdout stays the table.
void note(const QString &text);

} // namespace Bench
