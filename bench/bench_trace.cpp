// What the line trace costs: a trace point when the trace is off (as it is
// unless --trace or QT_LOGGING_RULES turns it on); on with its lines thrown
// away, so only the trace's own work is counted; and on with its lines
// written as the program writes them, to /dev/null, a reader that keeps up.
//
// Built on a tree from before the line writer (no standard_streams.h), the last
// rows measure what the program did then: Qt's own handler writing each line
// to standard error itself.

#include "line_trace.h"
#include "stats.h"

#include <QCoreApplication>

#include <ctime>

#include <fcntl.h>
#include <unistd.h>

#if __has_include("standard_streams.h")
#include "qt_message_routing.h"
#include "standard_streams.h"
#define HAVE_LINE_WRITER 1
#endif
// Where the programs set the message pattern, not LineTrace::setUp().
#if __has_include("message_pattern.h")
#include "message_pattern.h"
#define HAVE_MESSAGE_PATTERN 1
#endif

using namespace Bench;

namespace {

constexpr int Calls = 2'000'000;
constexpr int Rounds = 7;

double cpuNs(clockid_t clock)
{
    timespec t{};
    clock_gettime(clock, &t);
    return double(t.tv_sec) * 1e9 + double(t.tv_nsec);
}

double cpuNs()
{
    return cpuNs(CLOCK_PROCESS_CPUTIME_ID);
}

// One poll's trace point, as the exchange makes it.
void tracePoints(int calls)
{
    const QByteArray read("OK0101");
    for (int i = 0; i < calls; ++i)
        qCDebug(lcLine) << "read" << i % 3 + 1 << read;
}

double nsPerTracePoint(int calls)
{
    const double start = cpuNs();
    tracePoints(calls);
    return (cpuNs() - start) / calls;
}

void discard(QtMsgType, const QMessageLogContext &, const QString &) {}

// Per trace point: the calling thread's CPU, and the whole process's once
// every line is out (the writer thread's work included).
struct Written
{
    double callerNs;
    double processNs;
};

Written nsPerWrittenTracePoint(int calls)
{
    const double processStart = cpuNs();
    const double threadStart = cpuNs(CLOCK_THREAD_CPUTIME_ID);
    tracePoints(calls);
    const double threadEnd = cpuNs(CLOCK_THREAD_CPUTIME_ID);
#ifdef HAVE_LINE_WRITER
    StandardStreams::error().drain(std::chrono::seconds(10));
#endif
    return {(threadEnd - threadStart) / calls, (cpuNs() - processStart) / calls};
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);

    std::vector<double> off, on;
    for (int round = 0; round < Rounds; ++round)
        off.push_back(nsPerTracePoint(Calls));
#ifdef HAVE_MESSAGE_PATTERN
    CommandLine::useMessagePattern();
#endif
    LineTrace::setUp(true);
    const QtMessageHandler previous = qInstallMessageHandler(discard);
    for (int round = 0; round < Rounds; ++round)
        on.push_back(nsPerTracePoint(Calls / 20));
    qInstallMessageHandler(previous);

    // Standard error on /dev/null meanwhile, as with --trace 2>/dev/null.
    const int savedStderr = ::dup(STDERR_FILENO);
    const int devNull = ::open("/dev/null", O_WRONLY);
    ::dup2(devNull, STDERR_FILENO);
#ifdef HAVE_LINE_WRITER
    QtMessageRouting::routeTo(StandardStreams::error());
#endif
    std::vector<double> caller, process;
    for (int round = 0; round < Rounds; ++round) {
        const Written written = nsPerWrittenTracePoint(Calls / 20);
        caller.push_back(written.callerNs);
        process.push_back(written.processNs);
    }
    LineTrace::setUp(false);
    qInstallMessageHandler(previous);
    ::dup2(savedStderr, STDERR_FILENO);
    ::close(devNull);
    ::close(savedStderr);
#ifdef HAVE_LINE_WRITER
    const QString written = QStringLiteral("line writer, %1 dropped")
                                .arg(StandardStreams::error().dropped());
#else
    const QString written = QStringLiteral("Qt's handler writes");
#endif

    const Summary offSummary = summarize(off);
    const Summary onSummary = summarize(on);
    // An exchange makes at most eight trace points; a wait lasts 200-300 ms.
    row(QStringLiteral("7"), QStringLiteral("Line trace off: CPU per trace point (%1 rounds)").arg(Rounds),
        describe(offSummary, "ns", 1), QStringLiteral("< 0.1% of a 200 ms exchange"),
        under(offSummary.max * 8 / 1e6, 0.2, "ms", 5));
    row(QStringLiteral("7"), QStringLiteral("Line trace on, lines discarded: CPU per trace point"),
        describe(onSummary, "ns", 0), QString(), QString());
    row(QStringLiteral("7"), QStringLiteral("Line trace on, to /dev/null: the tracing thread's CPU per trace point"),
        describe(summarize(caller), "ns", 0), QStringLiteral("no more than before"), written);
    row(QStringLiteral("7"), QStringLiteral("Line trace on, to /dev/null: the process's CPU per trace point"),
        describe(summarize(process), "ns", 0), QString(), QString());
    return 0;
}
