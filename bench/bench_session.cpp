// A whole 80-cell schedule as a session: every cell of minutes 1-10 and bits
// 0-7 programmed through the window's exchange, each reply checked, against a
// board on its own thread at the pace of a 2400-baud line. Its time against
// the protocol's floor (the exchanges times what the exchange takes when the
// board answers in time), and the session's own CPU per exchange.

#include "board_thread.h"
#include "qt_serial_channel.h"
#include "session_console.h"
#include "session_runner.h"
#include "stats.h"

#include <QCoreApplication>

#include <ctime>

using namespace Bench;

namespace {

constexpr int Rounds = 3;

double threadCpuMs()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) * 1e3 + double(t.tv_nsec) / 1e6;
}

QByteArray wholeSchedule()
{
    QByteArray text = "Com1\nexpect OK\n";
    for (int minute = 1; minute <= 10; ++minute)
        text += "Min " + QByteArray::number(minute) + " Bits 0 1 2 3 4 5 6 7\n";
    return text + "Ejecutar Sec.\nStart\n";
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    BoardThread board;
    if (!board.started()) {
        note(QStringLiteral("bench_session: cannot start the emulated board: %1").arg(board.devicePath()));
        return 1;
    }
    PortMap ports;
    ports.setDevice(1, board.devicePath());
    SessionFile::Mistake mistake;
    const auto steps = SessionFile::parse(wholeSchedule(), &mistake);

    std::vector<double> overPercent, cpuPerExchange;
    qsizetype exchanges = 0;
    double seconds = 0, floor = 0;
    for (int round = 0; round < Rounds; ++round) {
        QtSerialChannel channel(ports);
        SessionRunner runner(channel, *steps, 0);
        SessionConsole console(runner.plan(), [](const QString &) {}, [](const QString &l) { note(l); });
        int failures = 0;
        QObject::connect(&runner, &SessionRunner::exchanged, [&](const Session::Record &r) {
            console.exchanged(r);
            failures += r.result.verdict != ReplyCheck::Verdict::Ok;
        });
        Session::Summary summary;
        QObject::connect(&runner, &SessionRunner::finished, [&](const Session::Summary &s) {
            console.finished(s);
            summary = s;
            QCoreApplication::quit();
        });
        const double cpu0 = threadCpuMs();
        runner.start();
        QCoreApplication::exec();
        const double cpu = threadCpuMs() - cpu0;
        if (summary.outcome != Session::Outcome::Done || failures) {
            note(QStringLiteral("bench_session: the schedule failed (%1 failures)").arg(failures));
            return 1;
        }
        exchanges = summary.exchanges;
        seconds = summary.seconds;
        floor = summary.floorSeconds;
        overPercent.push_back(100 * (seconds - floor) / floor);
        cpuPerExchange.push_back(cpu / double(exchanges));
        note(QStringLiteral("round %1: %2 exchanges in %3 s, floor %4 s")
                 .arg(round + 1).arg(exchanges).arg(seconds, 0, 'f', 3).arg(floor, 0, 'f', 3));
    }
    const Summary over = summarize(overPercent);
    row(QStringLiteral("8"),
        QStringLiteral("Session, 80 cells (%1 exchanges, every reply checked): time over the "
                       "protocol's floor (%2 s), %3 rounds")
            .arg(exchanges).arg(floor, 0, 'f', 1).arg(Rounds),
        describe(over, "%", 2), QStringLiteral("within 2%"), atMost(over.max, 2.0, "%", 2));
    row(QStringLiteral("8"), QStringLiteral("Session: its own CPU per exchange (event thread)"),
        describe(summarize(cpuPerExchange), "ms", 3), QString(), QString());
    return 0;
}
