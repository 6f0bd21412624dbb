// A whole 80-cell schedule as a session: every cell of minutes 1-10 and bits
// 0-7 programmed through the window's exchange, each reply checked, against a
// board on its own thread at the pace of a 2400-baud line that answers in
// 20 ms. At the window's pace its time against the protocol's floor (the
// exchanges times what the exchange takes when the board answers in time);
// at the line's pace (--pace line) against the line's floor (each command's
// bytes out and the reply's in at 2400 baud, plus the board's 20 ms). And the
// session's own CPU per exchange.

#include "board_thread.h"
#include "qt_serial_channel.h"
#include "session_console.h"
#include "session_runner.h"
#include "stats.h"

#include <QCoreApplication>

#include <ctime>

using namespace Bench;
using Pace = DeviceDialogue::Pace;

namespace {

constexpr int Rounds = 3;
constexpr std::chrono::milliseconds BoardDelay{20};

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

double seconds(std::chrono::nanoseconds ns) { return std::chrono::duration<double>(ns).count(); }

// The line itself: each command out and a whole reply in, and the board's time.
double lineFloor(const QList<SessionFile::Step> &steps)
{
    std::chrono::nanoseconds floor{0};
    for (const SessionFile::Step &step : steps) {
        if (step.port == 0)
            floor += BoardEmulator::ByteTime * (step.command.size() + BoardProtocol::ReplyLength) + BoardDelay;
    }
    return seconds(floor);
}

struct Round
{
    Session::Summary summary;
    double cpuMs = 0;
};

// One session of the schedule; none when it did not pass every check.
std::optional<Round> runOnce(const PortMap &ports, const QList<SessionFile::Step> &steps, Pace pace)
{
    QtSerialChannel channel(ports);
    SessionRunner runner(channel, steps, 0, pace);
    SessionConsole console(runner.plan(), [](const QString &) {}, [](const QString &l) { note(l); });
    int failures = 0;
    QObject::connect(&runner, &SessionRunner::exchanged, [&](const Session::Record &r) {
        console.exchanged(r);
        failures += r.result.verdict != ReplyCheck::Verdict::Ok;
    });
    Round round;
    QObject::connect(&runner, &SessionRunner::finished, [&](const Session::Summary &s) {
        console.finished(s);
        round.summary = s;
        QCoreApplication::quit();
    });
    const double cpu0 = threadCpuMs();
    runner.start();
    QCoreApplication::exec();
    round.cpuMs = threadCpuMs() - cpu0;
    if (round.summary.outcome != Session::Outcome::Done || failures) {
        note(QStringLiteral("bench_session: the schedule failed (%1 failures)").arg(failures));
        return std::nullopt;
    }
    return round;
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
    board.call([](BoardEmulator *b) { b->setReplyDelay(int(BoardDelay.count())); });
    PortMap ports;
    ports.setDevice(1, board.devicePath());
    SessionFile::Mistake mistake;
    const auto steps = SessionFile::parse(wholeSchedule(), &mistake);
    const double line = lineFloor(*steps);
    const qsizetype exchanges = SessionFile::exchangeCount(*steps);
    // The least the line's wait can take: the line's floor and, after each
    // whole reply, the two characters' quiet it listens for.
    const double quiet = line + double(exchanges) * seconds(DeviceDialogue::QuietTime);

    for (const Pace pace : {Pace::Window, Pace::Line}) {
        const bool atLine = pace == Pace::Line;
        std::vector<double> overPercent, overQuietPercent, cpuPerExchange;
        double floor = 0;
        for (int i = 0; i < Rounds; ++i) {
            const auto round = runOnce(ports, *steps, pace);
            if (!round)
                return 1;
            const double taken = round->summary.seconds;
            floor = atLine ? line : round->summary.floorSeconds;
            overPercent.push_back(100 * (taken - floor) / floor);
            overQuietPercent.push_back(100 * (taken - quiet) / quiet);
            cpuPerExchange.push_back(round->cpuMs / double(round->summary.exchanges));
            note(QStringLiteral("%1 pace, round %2: %3 exchanges in %4 s, floor %5 s")
                     .arg(atLine ? "line" : "window").arg(i + 1).arg(round->summary.exchanges)
                     .arg(taken, 0, 'f', 3).arg(floor, 0, 'f', 3));
        }
        const Summary over = summarize(overPercent);
        if (!atLine) {
            row(QStringLiteral("8"),
                QStringLiteral("Session, 80 cells (%1 exchanges, every reply checked): time over the "
                               "protocol's floor (%2 s), %3 rounds")
                    .arg(exchanges).arg(floor, 0, 'f', 1).arg(Rounds),
                describe(over, "%", 2), QStringLiteral("within 2%"), atMost(over.max, 2.0, "%", 2));
        } else {
            // The goal is held against what the wait itself must take: the
            // quiet after each reply is 13 % of the bare line by itself.
            row(QStringLiteral("8"),
                QStringLiteral("  --pace line, board at 20 ms: time over the line's floor (%1 s: bytes "
                               "at 2400 baud + 20 ms an exchange)")
                    .arg(floor, 0, 'f', 2),
                describe(over, "%", 2), QString(), QString());
            const Summary overQuiet = summarize(overQuietPercent);
            row(QStringLiteral("8"),
                QStringLiteral("  --pace line: over the line's floor plus two characters' quiet an "
                               "exchange (%1 s)")
                    .arg(quiet, 0, 'f', 2),
                describe(overQuiet, "%", 2), QStringLiteral("within 10%"),
                atMost(overQuiet.max, 10.0, "%", 2));
        }
        row(QStringLiteral("8"),
            QStringLiteral("  %1 pace: the session's own CPU per exchange (event thread)")
                .arg(atLine ? "line" : "window"),
            describe(summarize(cpuPerExchange), "ms", 3), QString(), QString());
    }
    return 0;
}
