// The window itself (offscreen) against an emulated board on its own thread:
// how long the event loop stalls while the panel works, how long a port
// sequence takes, and the stall a wait built on sleeping would cause.

#include "board_thread.h"
#include "form1.h"
#include "heartbeat.h"
#include "line_tap.h"
#include "qt_serial_channel.h"
#include "stats.h"

#include <QApplication>
#include <QComboBox>
#include <QEventLoop>
#include <QPushButton>
#include <QThread>
#include <QTimer>

#include <algorithm>

using namespace Bench;

namespace {

constexpr int SequencesPerDelay = 10;
constexpr int QueuedClicks = 100;
constexpr int SequenceCommands = 4;   // minute, bit, mode, connect
constexpr int WaitLimitMs = 60000;
// Every command of the sequence is answered within a pass, so each wait ends
// two passes after its write.
constexpr double SequenceFloorMs = SequenceCommands * 2 * double(DeviceDialogue::PassPeriod.count());

// Ends a loop when the window's busy pointer goes: nothing left to do.
class IdleWatch : public QObject
{
public:
    IdleWatch(QWidget &window, QEventLoop &loop) : m_window(window), m_loop(loop)
    {
        window.installEventFilter(this);
    }
    bool eventFilter(QObject *, QEvent *event) override
    {
        // Queued behind the window's own reaction to the end, which may start more work.
        if (event->type() == QEvent::CursorChange && m_window.cursor().shape() != Qt::BusyCursor)
            QMetaObject::invokeMethod(&m_loop, [this] {
                if (m_window.cursor().shape() != Qt::BusyCursor)
                    m_loop.quit();
            }, Qt::QueuedConnection);
        return false;
    }

private:
    QWidget &m_window;
    QEventLoop &m_loop;
};

// Runs the event loop until the window has nothing left to do.
bool waitUntilIdle(Form1 &form)
{
    if (form.cursor().shape() != Qt::BusyCursor)
        return true;
    QEventLoop loop;
    const IdleWatch watch(form, loop);
    QTimer::singleShot(WaitLimitMs, &loop, [&] { loop.exit(1); });
    return loop.exec() == 0;
}

// As a person picking Com1 from the list: the pick event, even if Com1 is already shown.
void pickCom1(Form1 &form)
{
    // As a person's pick: the entry becomes current, then the list says so.
    form.controls().LstPuerto->setCurrentIndex(0);
    emit form.controls().LstPuerto->activated(0);
}

// A wait built on sleeping: every pass blocks the event thread for a whole
// pass period, and events are only handled between passes.
void naiveExchanges(int exchanges, int passesEach)
{
    for (int i = 0; i < exchanges * passesEach; ++i) {
        QThread::msleep(DeviceDialogue::PassPeriod.count());
        QCoreApplication::processEvents();
    }
}

// The heartbeat's figures gathered over one or more runs of a scenario.
struct Stalls
{
    std::vector<double> all;
    double elapsedMs = 0;
    double longestRunningMs = 0;
    Heartbeat::Stall longest, longestOwn;

    void add(const Heartbeat &heartbeat)
    {
        all.insert(all.end(), heartbeat.stalls().begin(), heartbeat.stalls().end());
        elapsedMs += heartbeat.elapsedMs();
        longestRunningMs = std::max(longestRunningMs, heartbeat.longestRunningMs());
        if (heartbeat.longest().ms > longest.ms)
            longest = heartbeat.longest();
        const auto ownPart = [](const Heartbeat::Stall &s) { return s.ms - s.waitingMs; };
        if (ownPart(heartbeat.longestOwn()) > ownPart(longestOwn))
            longestOwn = heartbeat.longestOwn();
    }

    // The stall as seen, the part our code ran, and where the longest ones went.
    void report(const QString &what, bool judged = true) const
    {
        const Summary seen = Bench::summarize(all);
        const auto over = std::count_if(all.begin(), all.end(), [](double ms) { return ms > 5.0; });
        const QString goal = judged ? QStringLiteral("max <= 5 ms") : QStringLiteral("reference");
        Bench::row(QStringLiteral("2"), what,
                   Bench::describe(seen)
                       + QStringLiteral("; %1 over 5 ms in %2 s").arg(over).arg(Bench::number(elapsedMs / 1000, 0)),
                   goal, judged ? Bench::atMost(seen.max, 5.0) : QString());
        Bench::row(QStringLiteral("2"), QStringLiteral("  longest our code ran between two ticks"),
                   QStringLiteral("%1 ms").arg(Bench::number(longestRunningMs)), goal,
                   judged ? Bench::atMost(longestRunningMs, 5.0) : QString());
        Bench::row(QStringLiteral("2"), QStringLiteral("  longest stall; longest less CPU waits (ms)"),
                   longest.where() + QStringLiteral("; ") + longestOwn.where());
    }
};

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);

    BoardThread board;
    if (!board.started()) {
        note(QStringLiteral("bench_panel: cannot start the emulated board: %1").arg(board.devicePath()));
        return 1;
    }
    PortMap ports;
    ports.setDevice(1, board.devicePath());
    QtSerialChannel channel(ports);
    Form1 form(channel);
    form.show();
    QCoreApplication::processEvents();

    Heartbeat heartbeat;
    int finished = 0;
    Clock::time_point firstWritten, lastFinished;
    const LineTap tap([&](const QString &event) {
        if (event.startsWith(QLatin1String("write ")) && finished == 0 && firstWritten == Clock::time_point{})
            firstWritten = Clock::now();
        if (LineTap::endsAnExchange(event)) {
            ++finished;
            lastFinished = Clock::now();
        }
    });
    QString reported;
    QObject::connect(&form, &Form1::reported, [&](const QString &message) { reported = message; });

    // Port sequences: wall time and stalls.
    Stalls sequenceStalls;
    std::vector<QStringList> wallRows;
    std::vector<double> opens;   // the pick's close and reopen, up to the first write
    // A board at a real 2400-baud line's pace, and boards that answer in one
    // piece, whose replies come exactly at the delay.
    for (const auto &[delayMs, paced] : {std::pair{20, true}, std::pair{20, false}, std::pair{90, false}}) {
        board.call([&](BoardEmulator *b) {
            b->setReplyDelay(delayMs);
            b->setLinePaced(paced);
        });
        std::vector<double> walls;
        for (int i = 0; i < SequencesPerDelay; ++i) {
            finished = 0;
            firstWritten = {};
            heartbeat.start();
            const Clock::time_point picked = Clock::now();
            pickCom1(form);
            const bool idle = waitUntilIdle(form);
            heartbeat.stop();
            sequenceStalls.add(heartbeat);
            if (!idle || finished != SequenceCommands || !reported.isEmpty()) {
                note(QStringLiteral("bench_panel: a port sequence did not run through (%1 exchanges; %2)")
                         .arg(finished).arg(reported));
                return 1;
            }
            walls.push_back(msBetween(picked, lastFinished));
            opens.push_back(msBetween(picked, firstWritten));
        }
        const Summary wall = summarize(walls);
        wallRows.push_back({QStringLiteral("Port sequence wall time, board answers at %1 ms%2 (%3 runs)")
                                .arg(delayMs)
                                .arg(paced ? QStringLiteral(" at the line's pace") : QStringLiteral(" in one piece"))
                                .arg(wall.count),
                            describe(wall, "ms", 1),
                            QStringLiteral("floor %1 ms").arg(SequenceFloorMs),
                            QStringLiteral("median +%1 ms over the floor (x%2)")
                                .arg(number(wall.median - SequenceFloorMs, 1),
                                     number(wall.median / SequenceFloorMs, 3))});
    }

    // A hundred clicks on Conectar at once: they queue and run one by one.
    finished = 0;
    heartbeat.start();
    for (int i = 0; i < QueuedClicks; ++i)
        form.controls().PbConectar->click();
    const bool idle = waitUntilIdle(form);
    heartbeat.stop();
    Stalls queuedStalls;
    queuedStalls.add(heartbeat);
    if (!idle || finished != QueuedClicks) {
        note(QStringLiteral("bench_panel: %1 of %2 queued exchanges ran").arg(finished).arg(QueuedClicks));
        return 1;
    }

    // The same loop, with waits that sleep: a port sequence's worth of polls.
    heartbeat.start();
    naiveExchanges(SequenceCommands, 2);
    heartbeat.stop();
    const std::vector<double> naiveTicks = heartbeat.stalls();

    // The same heartbeat on an event loop with nothing else to do: what the machine allows.
    constexpr int ControlMs = 20000;
    heartbeat.start();
    QEventLoop control;
    QTimer::singleShot(ControlMs, &control, &QEventLoop::quit);
    control.exec();
    heartbeat.stop();
    Stalls controlStalls;
    controlStalls.add(heartbeat);

    sequenceStalls.report(
        QStringLiteral("Event-loop stall (1 ms heartbeat lateness), %1 port sequences").arg(3 * SequencesPerDelay));
    queuedStalls.report(QStringLiteral("Event-loop stall, %1 queued exchanges (Conectar clicks)").arg(QueuedClicks));
    controlStalls.report(QStringLiteral("  control: empty event loop, heartbeat only"), false);
    row(QStringLiteral("2"),
        QStringLiteral("  naive: 100 ms blocking sleep per pass, %1 exchanges").arg(SequenceCommands),
        describe(summarize(naiveTicks)), QStringLiteral("reference"));
    for (const QStringList &r : wallRows)
        row(QStringLiteral("5"), r[0], r[1], r[2], r[3]);
    row(QStringLiteral("5"), QStringLiteral("  pick to first command written: port closed and reopened (%1)").arg(opens.size()),
        describe(summarize(opens)));
    return 0;
}
