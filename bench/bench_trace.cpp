// What the line trace costs: a trace point when the trace is off (as it is
// unless --trace or QT_LOGGING_RULES turns it on), and when it is on with its
// lines thrown away, so only the trace's own work is counted.

#include "line_trace.h"
#include "stats.h"

#include <QCoreApplication>

#include <ctime>

using namespace Bench;

namespace {

constexpr int Calls = 2'000'000;
constexpr int Rounds = 7;

double cpuNs()
{
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) * 1e9 + double(t.tv_nsec);
}

// One poll's trace point, as the exchange makes it, per call.
double nsPerTracePoint(int calls)
{
    const QByteArray read("OK0101");
    const double start = cpuNs();
    for (int i = 0; i < calls; ++i)
        qCDebug(lcLine) << "read" << i % 3 + 1 << read;
    return (cpuNs() - start) / calls;
}

void discard(QtMsgType, const QMessageLogContext &, const QString &) {}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);

    std::vector<double> off, on;
    for (int round = 0; round < Rounds; ++round)
        off.push_back(nsPerTracePoint(Calls));
    LineTrace::setUp(true);
    const QtMessageHandler previous = qInstallMessageHandler(discard);
    for (int round = 0; round < Rounds; ++round)
        on.push_back(nsPerTracePoint(Calls / 20));
    qInstallMessageHandler(previous);

    const Summary offSummary = summarize(off);
    const Summary onSummary = summarize(on);
    // An exchange makes at most eight trace points; a wait lasts 200-300 ms.
    row(QStringLiteral("7"), QStringLiteral("Line trace off: CPU per trace point (%1 rounds)").arg(Rounds),
        describe(offSummary, "ns", 1), QStringLiteral("< 0.1% of a 200 ms exchange"),
        under(offSummary.max * 8 / 1e6, 0.2, "ms", 5));
    row(QStringLiteral("7"), QStringLiteral("Line trace on, lines discarded: CPU per trace point"),
        describe(onSummary, "ns", 0), QString(), QString());
    return 0;
}
