#include "board_emulator.h"
#include "board_protocol.h"
#include "demo_channel.h"
#include "device_dialogue.h"
#include "line_trace_capture.h"
#include "qt_serial_channel.h"
#include "scripted_channel.h"

#include <QProcess>
#include <QSignalSpy>
#include <QTest>

#include <chrono>

using BoardProtocol::ReplyFields;
using Clock = std::chrono::steady_clock;

static ReplyFields fields(const char *rx, const char *min, const char *bit, const char *mode)
{
    return ReplyFields{QString::fromLatin1(rx), QString::fromLatin1(min),
                       QString::fromLatin1(bit), QString::fromLatin1(mode)};
}

static const ReplyFields Blank{};
static const ReplyFields TimedOut = fields("NO", "  ", " ", " ");

// What the boxes show: the last status a dialogue gave them.
class Shown : public QObject
{
public:
    explicit Shown(DeviceDialogue *dialogue)
    {
        connect(dialogue, &DeviceDialogue::statusChanged, this,
                [this](const ReplyFields &status) { last = status; });
    }
    ReplyFields last;
};
static constexpr int WaitLimitMs = 5000;

class TstDeviceDialogue : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

#ifdef PROGRAMADOR_HAVE_PTY
    // Over a pseudo-terminal, the emulated board on the far side.
    void everyCommandGoesOutByteForByte();
    void replyTiming_data();
    void replyTiming();
    void oddReplies_data();
    void oddReplies();
    void staleInputIsDiscarded();
    void boxesAreBlankDuringTheWait();
    void commandsAskedTogetherRunOneAfterAnother();
    void closedChannelRefusesWithoutWriting();
    void lossDuringAWaitDropsTheQueue();
    void replyAsTheNextCommandStartsIsNoLoss();
#endif

    // Exact reads and times, with a scripted channel and a clock the test moves.
    void timingIsExact_data();
    void timingIsExact();
    void splitReplyIsShownWhole_data();
    void splitReplyIsShownWhole();
    void workForAGonePortIsDropped();
    void portPickDuringAWaitWaitsItsTurn();
    void lineTraceIsSilentUnlessAskedFor();
    void linePaceEndsOnceTheReplyIsWhole_data();
    void linePaceEndsOnceTheReplyIsWhole();

    // The demo's boards in-process, behind the channel, with no pseudo-terminal.
    void inProcessBoardKeepsTheLinesPace();

private:
    [[nodiscard]] bool exchange(const QByteArray &orden);

    BoardEmulator *board = nullptr;
    QtSerialChannel *serie = nullptr;
    DeviceDialogue *dialogue = nullptr;
    Shown *status = nullptr;
};

void TstDeviceDialogue::init()
{
#ifdef PROGRAMADOR_HAVE_PTY
    board = new BoardEmulator(this);
    QVERIFY2(board->start(), qPrintable(board->errorString()));
    PortMap ports;
    ports.setDevice(1, board->devicePath());
    serie = new QtSerialChannel(ports, this);
    serie->setPortNumber(1);
    QVERIFY(serie->open());
    dialogue = new DeviceDialogue(serie, this);
    status = new Shown(dialogue);
#endif
}

void TstDeviceDialogue::cleanup()
{
    delete status;
    delete dialogue;
    delete serie;
    delete board;
    dialogue = nullptr;
    status = nullptr;
    serie = nullptr;
    board = nullptr;
}

#ifdef PROGRAMADOR_HAVE_PTY
bool TstDeviceDialogue::exchange(const QByteArray &orden)
{
    QSignalSpy finished(dialogue, &DeviceDialogue::exchangeFinished);
    dialogue->EnviaOrden(orden);
    return finished.wait(WaitLimitMs) || !finished.isEmpty();
}

void TstDeviceDialogue::everyCommandGoesOutByteForByte()
{
    using namespace BoardProtocol;
    const QList<QByteArray> commands = {
        connectCommand(), minuteCommand(10), bitCommand(7), modeCommand(0),
        programCommand(), eraseMinutesCommand(), eraseBitMinuteCommand(), startCommand(),
    };
    QByteArray expected;
    for (const QByteArray &c : commands) {
        QVERIFY(exchange(c));
        expected += c;
        // Nothing before, between or after: no terminators, no padding.
        QCOMPARE(board->received().toHex(' '), expected.toHex(' '));
    }
    QCOMPARE(board->commands().size(), commands.size());
    for (const auto &parsed : board->commands())
        QVERIFY2(parsed.valid, parsed.text.constData());
    QCOMPARE(status->last, fields("OK", "10", "7", "0"));
}

void TstDeviceDialogue::replyTiming_data()
{
    QTest::addColumn<int>("delayMs");
    QTest::addColumn<bool>("silent");
    QTest::addColumn<ReplyFields>("shown");
    QTest::addColumn<int>("polls");

    // Reads happen right after the write, then 100 ms and 200 ms after it.
    QTest::newRow("before the second read") << 20 << false << fields("OK", "01", "0", "0") << 2;
    // The third read's text is the board's answer: shown, not replaced by "NO".
    QTest::newRow("between second and third read") << 150 << false << fields("OK", "01", "0", "0") << 3;
    QTest::newRow("never") << 0 << true << TimedOut << 3;
    // A reply split across a read: splitReplyIsShownWhole, on the test's clock.
}

void TstDeviceDialogue::replyTiming()
{
    QFETCH(int, delayMs);
    QFETCH(bool, silent);
    QFETCH(ReplyFields, shown);
    QFETCH(int, polls);

    board->setReplyDelay(delayMs);
    board->setSilent(silent);
    QSignalSpy finished(dialogue, &DeviceDialogue::exchangeFinished);
    bool exchanged = false;
    const QStringList traced = LineTraceCapture::events(LineTraceCapture::of(
        true, [&] { exchanged = exchange(BoardProtocol::connectCommand()); }));
    QVERIFY(exchanged);
    QCOMPARE(status->last, shown);
    // The reads as --trace shows them: "read 1 ...", "read 2 ...".
    static const QRegularExpression read(QStringLiteral(R"(^read \d )"));
    QCOMPARE(traced.filter(read).size(), polls);
    QCOMPARE(finished.size(), 1);
    if (silent)
        QCOMPARE(finished.first().at(1).toByteArray(), QByteArray("NO    "));
}

void TstDeviceDialogue::oddReplies_data()
{
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<ReplyFields>("shown");

    QTest::newRow("eight characters") << QByteArray("AB0231XY") << fields("AB", "02", "3", "1");
    QTest::newRow("two characters") << QByteArray("AB") << fields("AB", "", "", "");
    QTest::newRow("sixth is 7") << QByteArray("AB0237") << fields("AB", "02", "3", "7");
    QTest::newRow("high bytes") << QByteArray("\xe9\xff\x00\x01\x80" "0", 6)
                                << ReplyFields{QString::fromLatin1("\xe9\xff"),
                                               QString::fromLatin1("\x00\x01", 2),
                                               QString::fromLatin1("\x80"), "0"};
}

void TstDeviceDialogue::oddReplies()
{
    QFETCH(QByteArray, reply);
    QFETCH(ReplyFields, shown);
    board->setReplyScript({{20, reply}});
    QSignalSpy finished(dialogue, &DeviceDialogue::exchangeFinished);
    QVERIFY(exchange(BoardProtocol::startCommand()));
    QCOMPARE(status->last, shown);
    QCOMPARE(finished.size(), 1);
    QCOMPARE(finished.first().at(1).toByteArray(), reply);
}

void TstDeviceDialogue::staleInputIsDiscarded()
{
    board->sendUnasked("ZZ9999");
    QTest::qWait(50);   // let the stray bytes reach the panel's side
    board->setReplyDelay(30);
    QVERIFY(exchange(BoardProtocol::minuteCommand(4)));
    QCOMPARE(status->last, fields("OK", "04", "0", "0"));

    // A reply split so that its tail arrives after the wait ended: the next
    // wait throws the tail away before it listens.
    board->setReplyScript({{20, "OK"}, {260, "TAIL!!"}});
    QVERIFY(exchange(BoardProtocol::bitCommand(3)));
    QCOMPARE(status->last, fields("OK", "", "", ""));
    QTest::qWait(150);
    board->setReplyScript({});
    QVERIFY(exchange(BoardProtocol::connectCommand()));
    QCOMPARE(status->last, fields("OK", "04", "3", "0"));
}

void TstDeviceDialogue::boxesAreBlankDuringTheWait()
{
    board->setReplyDelay(20);
    QVERIFY(exchange(BoardProtocol::connectCommand()));
    QCOMPARE(status->last.code, QStringLiteral("OK"));

    QList<ReplyFields> seen;
    QList<bool> busyWhenSeen;
    connect(dialogue, &DeviceDialogue::statusChanged, this, [&](const ReplyFields &s) {
        seen.append(s);
        busyWhenSeen.append(dialogue->isBusy());
    });
    QVERIFY(exchange(BoardProtocol::programCommand()));
    QCOMPARE(seen.size(), 2);
    QCOMPARE(seen.first(), Blank);
    QVERIFY(busyWhenSeen.first());
    QCOMPARE(seen.last(), fields("OK", "01", "0", "0"));
}

void TstDeviceDialogue::commandsAskedTogetherRunOneAfterAnother()
{
    board->setReplyDelay(20);
    // The boxes blank the moment a command is written.
    QList<Clock::time_point> writtenAt, finishedAt;
    QList<QByteArray> finishedOrder;
    connect(dialogue, &DeviceDialogue::statusChanged, this, [&](const ReplyFields &s) {
        if (s == Blank)
            writtenAt.append(Clock::now());
    });
    connect(dialogue, &DeviceDialogue::exchangeFinished, this, [&](const QByteArray &o) {
        finishedAt.append(Clock::now());
        finishedOrder.append(o);
    });
    QSignalSpy idle(dialogue, &DeviceDialogue::idle);

    const QList<QByteArray> asked = {BoardProtocol::minuteCommand(2), BoardProtocol::bitCommand(5),
                                     BoardProtocol::modeCommand(1)};
    for (const QByteArray &o : asked)
        dialogue->EnviaOrden(o);
    QCOMPARE(writtenAt.size(), 1);   // the other two wait their turn

    QVERIFY(idle.wait(WaitLimitMs));
    QCOMPARE(idle.size(), 1);
    QCOMPARE(finishedOrder, asked);
    QCOMPARE(board->received(), asked.join());
    const auto parsed = board->commands();
    QCOMPARE(parsed.size(), 3);
    for (int i = 1; i < 3; ++i) {
        // Each command reached the board only after the previous wait ended.
        QVERIFY(writtenAt[i] >= finishedAt[i - 1]);
        QVERIFY(parsed[i].at >= finishedAt[i - 1]);
    }
    QCOMPARE(status->last, fields("OK", "02", "5", "1"));
}

void TstDeviceDialogue::closedChannelRefusesWithoutWriting()
{
    QVERIFY(exchange(BoardProtocol::connectCommand()));
    const ReplyFields before = status->last;
    serie->close();
    QSignalSpy refused(dialogue, &DeviceDialogue::refused);
    QSignalSpy changed(dialogue, &DeviceDialogue::statusChanged);
    dialogue->EnviaOrden(BoardProtocol::programCommand());
    QCOMPARE(refused.size(), 1);
    QVERIFY(refused.first().at(1).toString().contains(QStringLiteral("Com1 or Com2")));
    QVERIFY(!dialogue->isBusy());   // nothing queued either
    QTest::qWait(100);
    QCOMPARE(board->received(), BoardProtocol::connectCommand());
    QCOMPARE(changed.size(), 0);
    QCOMPARE(status->last, before);
}

void TstDeviceDialogue::lossDuringAWaitDropsTheQueue()
{
    board->setSilent(true);
    QSignalSpy lost(serie, &SerialChannel::errorOccurred);
    QSignalSpy idle(dialogue, &DeviceDialogue::idle);
    QSignalSpy finished(dialogue, &DeviceDialogue::exchangeFinished);
    dialogue->EnviaOrden(BoardProtocol::connectCommand());
    dialogue->EnviaOrden(BoardProtocol::programCommand());
    dialogue->EnviaOrden(BoardProtocol::startCommand());
    board->hangUp();
    QVERIFY(idle.wait(WaitLimitMs));
    QCOMPARE(lost.size(), 1);
    QCOMPARE(lost.first().at(0).value<SerialChannel::Failure>(), SerialChannel::Failure::Lost);
    QVERIFY(!dialogue->isBusy());   // nothing queued either
    QTest::qWait(400);
    QCOMPARE(finished.size(), 0);
    QCOMPARE(idle.size(), 1);
}

void TstDeviceDialogue::replyAsTheNextCommandStartsIsNoLoss()
{
    // Bytes land just as the next command is asked for from the event loop
    // (a click, a queued action), before Qt's own notifier has read them:
    // the exchange's flush must not leave that notifier an empty line, which
    // Qt reports as a read error that looks like a hang-up.
    QSignalSpy errors(serie, &SerialChannel::errorOccurred);
    QSignalSpy idle(dialogue, &DeviceDialogue::idle);
    for (int i = 0; i < 5; ++i) {
        board->sendUnasked("OK0101");
        QMetaObject::invokeMethod(dialogue, [this] {
            dialogue->EnviaOrden(BoardProtocol::programCommand());
        }, Qt::QueuedConnection);
        QVERIFY(idle.wait(WaitLimitMs));
    }
    QCOMPARE(errors.size(), 0);
    QCOMPARE(board->received(), BoardProtocol::programCommand().repeated(5));
}
#endif // PROGRAMADOR_HAVE_PTY

// The dialogue's timers fired as a clock the test moves says they fall due,
// each `late` after its time, until the exchange is over: no wall clock.
[[nodiscard]] static bool runOnTestClock(DeviceDialogue &dialogue, Clock::time_point &now,
                           std::chrono::milliseconds late = {})
{
    QTimer *timer = dialogue.findChild<QTimer *>();
    for (int fired = 0; timer && timer->isActive() && fired < 10; ++fired) {
        now += timer->intervalAsDuration() + late;
        QTimerEvent due(timer->timerId());
        QCoreApplication::sendEvent(timer, &due);
    }
    return timer && !dialogue.isBusy();
}

void TstDeviceDialogue::timingIsExact_data()
{
    QTest::addColumn<int>("poll");   // the read that first sees the reply; 0: none does
    QTest::addColumn<int>("lateMs");
    QTest::addColumn<QList<int>>("readsAtMs");   // every read, from the write
    QTest::addColumn<int>("endsAtMs");
    QTest::addColumn<ReplyFields>("shown");

    // The flush and the first read right after the write, the next reads 100
    // and 200 ms after it; the end 100 ms after the read that saw text, taking
    // in the rest, or at 300 ms with the time-out.
    const ReplyFields reply = fields("OK", "03", "2", "1");
    QTest::newRow("first") << 1 << 0 << QList<int>{0, 0, 100} << 100 << reply;
    QTest::newRow("second") << 2 << 0 << QList<int>{0, 0, 100, 200} << 200 << reply;
    // The third read's text is the board's answer: shown, not replaced by "NO".
    QTest::newRow("third") << 3 << 0 << QList<int>{0, 0, 100, 200, 300} << 300 << reply;
    QTest::newRow("none") << 0 << 0 << QList<int>{0, 0, 100, 200} << 300 << TimedOut;
    // Times count from the write: a late timer does not push back the next one.
    QTest::newRow("second, timers 30 ms late") << 2 << 30 << QList<int>{0, 0, 130, 230} << 230
                                                << reply;
    QTest::newRow("none, timers 30 ms late") << 0 << 30 << QList<int>{0, 0, 130, 230} << 330
                                              << TimedOut;
}

void TstDeviceDialogue::timingIsExact()
{
    QFETCH(int, poll);
    QFETCH(int, lateMs);
    QFETCH(QList<int>, readsAtMs);
    QFETCH(int, endsAtMs);
    QFETCH(ReplyFields, shown);

    const Clock::time_point writtenAt{std::chrono::hours(1)};
    Clock::time_point now = writtenAt;
    ScriptedChannel channel;
    channel.now = &now;
    DeviceDialogue exact(&channel);
    const Shown shownExact(&exact);
    exact.setClock([&now] { return now; });
    // The first read is the flush before listening; stale text there never shows.
    channel.reads = {"STALE!", "", "", "", "", ""};
    if (poll > 0)
        channel.reads[poll] = "OK0321";
    Clock::time_point endedAt;
    connect(&exact, &DeviceDialogue::exchangeFinished, this, [&] { endedAt = now; });

    exact.EnviaOrden("I1");
    QVERIFY(runOnTestClock(exact, now, std::chrono::milliseconds(lateMs)));
    QList<int> readsAt;
    for (const Clock::time_point at : std::as_const(channel.readAt))
        readsAt << int(std::chrono::duration_cast<std::chrono::milliseconds>(at - writtenAt).count());
    QCOMPARE(readsAt, readsAtMs);
    QCOMPARE(std::chrono::duration_cast<std::chrono::milliseconds>(endedAt - writtenAt).count(),
             endsAtMs);
    QCOMPARE(channel.writes, QList<QByteArray>{"I1"});
    QCOMPARE(shownExact.last, shown);
}

void TstDeviceDialogue::splitReplyIsShownWhole_data()
{
    QTest::addColumn<QList<QByteArray>>("reads");
    QTest::addColumn<ReplyFields>("shown");
    QTest::addColumn<QByteArray>("left");

    // Flush, then polls; the read after the one that saw text is the wait's end.
    QTest::newRow("across the second read")
        << QList<QByteArray>{"", "", "OK0", "121", "NEXT"} << fields("OK", "01", "2", "1")
        << QByteArray("NEXT");
    QTest::newRow("across the third read")
        << QList<QByteArray>{"", "", "", "O", "K0121"} << fields("OK", "01", "2", "1")
        << QByteArray();
    QTest::newRow("still coming at the end")
        << QList<QByteArray>{"", "OK", "01"} << fields("OK", "01", "", "") << QByteArray();
}

void TstDeviceDialogue::splitReplyIsShownWhole()
{
    QFETCH(QList<QByteArray>, reads);
    QFETCH(ReplyFields, shown);
    QFETCH(QByteArray, left);

    Clock::time_point now;
    ScriptedChannel channel;
    DeviceDialogue exact(&channel);
    const Shown shownExact(&exact);
    exact.setClock([&now] { return now; });
    channel.reads = reads;
    exact.EnviaOrden("I4");
    QVERIFY(runOnTestClock(exact, now));
    QCOMPARE(shownExact.last, shown);
    // What comes after the wait stays for the next wait's flush.
    QCOMPARE(channel.reads.join(), left);
}

void TstDeviceDialogue::workForAGonePortIsDropped()
{
    ScriptedChannel channel;
    DeviceDialogue exact(&channel);
    QSignalSpy idle(&exact, &DeviceDialogue::idle);

    // A write that fails takes the commands queued behind it for that port.
    exact.EnviaOrden("I1");
    exact.EnviaOrden("I4");
    exact.EnviaOrden("I8");
    channel.failWrites = true;
    QVERIFY(idle.wait(WaitLimitMs));
    QCOMPARE(channel.writes, QList<QByteArray>{"I1"});
    QCOMPARE(channel.writeAttempts, 2);
    QVERIFY(!exact.isBusy());

    // A loss takes what was asked of the lost port, not what follows a
    // switch to another port.
    channel.failWrites = false;
    channel.writes.clear();
    QSignalSpy refused(&exact, &DeviceDialogue::refused);
    exact.EnviaOrden("I5");
    exact.EnviaOrden("I6");
    exact.switchPort(2);
    exact.EnviaOrden("I8");
    channel.loseConnection();
    QVERIFY(idle.wait(WaitLimitMs));
    QCOMPARE(channel.writes, (QList<QByteArray>{"I5", "I8"}));
    QCOMPARE(refused.size(), 0);   // dropped quietly: the loss was told once
    QCOMPARE(channel.portNumber(), qint16(2));
}

void TstDeviceDialogue::portPickDuringAWaitWaitsItsTurn()
{
    Clock::time_point now;
    ScriptedChannel channel;
    DeviceDialogue exact(&channel);
    const Shown shownExact(&exact);
    exact.setClock([&now] { return now; });
    channel.reads = {"", "", "OK0110"};
    QSignalSpy finished(&exact, &DeviceDialogue::exchangeFinished);
    exact.EnviaOrden("I1");
    // Nothing else queued: the pick still waits for the reply on the port in use.
    QVERIFY(exact.switchPort(2));
    QCOMPARE(channel.portNumber(), qint16(1));
    QVERIFY(runOnTestClock(exact, now));
    QCOMPARE(finished.size(), 1);
    QCOMPARE(finished.first().at(1).toByteArray(), QByteArray("OK0110"));
    QCOMPARE(channel.portNumber(), qint16(2));
}

void TstDeviceDialogue::linePaceEndsOnceTheReplyIsWhole_data()
{
    QTest::addColumn<QList<int>>("arrivesAtMs");   // each piece told by the channel, from the write
    QTest::addColumn<QList<QByteArray>>("pieces");
    QTest::addColumn<int>("endsAtMs");
    QTest::addColumn<QByteArray>("reply");

    // Six characters in, then two characters' quiet (8.3 ms, timers in whole
    // milliseconds): what follows within it is the reply's too.
    QTest::newRow("in one piece") << QList<int>{45} << QList<QByteArray>{"OK0321"} << 54 << QByteArray("OK0321");
    QTest::newRow("in pieces, then more") << QList<int>{30, 38, 44} << QList<QByteArray>{"OK0", "321", "\r\n"}
                                          << 53 << QByteArray("OK0321\r\n");
    // Short of six: whatever came by the deadline; nothing is a time-out.
    // (The test's clock moves timers by their interval: only bytes that come
    // as the write is made leave the deadline's where it was set.)
    QTest::newRow("short") << QList<int>{0} << QList<QByteArray>{"OK032"} << 300 << QByteArray("OK032");
    QTest::newRow("silent") << QList<int>{} << QList<QByteArray>{} << 300 << QByteArray("NO    ");
    // Never past the deadline, however late the reply came whole.
    QTest::newRow("whole at the deadline") << QList<int>{296} << QList<QByteArray>{"OK0321"} << 300
                                           << QByteArray("OK0321");
}

void TstDeviceDialogue::linePaceEndsOnceTheReplyIsWhole()
{
    QFETCH(QList<int>, arrivesAtMs);
    QFETCH(QList<QByteArray>, pieces);
    QFETCH(int, endsAtMs);
    QFETCH(QByteArray, reply);

    const Clock::time_point writtenAt{std::chrono::hours(1)};
    Clock::time_point now = writtenAt;
    ScriptedChannel channel;
    DeviceDialogue exact(&channel);
    exact.setPace(DeviceDialogue::Pace::Line);
    exact.setClock([&now] { return now; });
    channel.reads = {"STALE!"};
    Clock::time_point endedAt;
    QByteArray got;
    connect(&exact, &DeviceDialogue::exchangeFinished, this, [&](const QByteArray &, const QByteArray &r) {
        endedAt = now;
        got = r;
    });
    exact.EnviaOrden("I1");
    for (qsizetype i = 0; i < pieces.size(); ++i) {
        now = writtenAt + std::chrono::milliseconds(arrivesAtMs.at(i));
        channel.reads.append(pieces.at(i));
        emit channel.received();
        QVERIFY(exact.isBusy());
    }
    QVERIFY(runOnTestClock(exact, now));
    QCOMPARE(std::chrono::duration_cast<std::chrono::milliseconds>(endedAt - writtenAt).count(),
             endsAtMs);
    QCOMPARE(got, reply);
    QCOMPARE(channel.writes, QList<QByteArray>{"I1"});
}

void TstDeviceDialogue::lineTraceIsSilentUnlessAskedFor()
{
    // Stale bytes, then a reply with bytes outside printable ASCII, one
    // escape followed by a hex digit.
    const auto exchangeOnce = [] {
        Clock::time_point now;
        ScriptedChannel channel;
        DeviceDialogue exact(&channel);
        exact.setClock([&now] { return now; });
        channel.reads = {QByteArray("\x01" "A"), "", QByteArray("OK\x7f\xff\"\\"), "0"};
        exact.EnviaOrden("I1");
        QVERIFY(runOnTestClock(exact, now));
    };
    const bool underRules = !qEnvironmentVariableIsEmpty("QT_LOGGING_RULES");
    if (!underRules)
        QCOMPARE(LineTraceCapture::of(false, exchangeOnce), QStringList());
    if (QTest::currentTestFailed())
        return;
    // Asked for (--trace): every event, whatever the logging rules say.
    const QStringList expected = {
        R"(discarded "\x01""A")", R"(read 1 "")", R"(read 2 "OK\x7F\xFF\"\\")",
        R"(read at end "0")", R"(shown "OK\x7F\xFF\"\\")",
    };
    QCOMPARE(LineTraceCapture::events(LineTraceCapture::of(true, exchangeOnce)), expected);
    if (underRules)
        return;
    // Once more in a run of this test whose rules turn every category off:
    // Qt reads them from the environment only as it starts.
    QProcess again;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_LOGGING_RULES"), QStringLiteral("*=false"));
    again.setProcessEnvironment(environment);
    again.setProcessChannelMode(QProcess::ForwardedChannels);
    again.start(QCoreApplication::applicationFilePath(),
                {QStringLiteral("-silent"), QString::fromLatin1(QTest::currentTestFunction())});
    QVERIFY(again.waitForFinished(WaitLimitMs));
    QCOMPARE(again.exitStatus(), QProcess::NormalExit);
    QCOMPARE(again.exitCode(), 0);
}

void TstDeviceDialogue::inProcessBoardKeepsTheLinesPace()
{
    using namespace std::chrono;
    DemoChannel channel;
    DeviceDialogue demo(&channel);
    const Shown shownDemo(&demo);
    BoardEmulator &board2 = channel.board(2);
    struct Out { QByteArray bytes; Clock::time_point at; bool early; };
    QList<Out> out;
    connect(&board2, &BoardEmulator::lineOutput, this,
            [&out](const QByteArray &bytes, Clock::time_point at) {
                out.append({bytes, at, Clock::now() < at});
            });

    QVERIFY(demo.switchPort(2));
    QVERIFY(channel.isOpen());
    QSignalSpy finished(&demo, &DeviceDialogue::exchangeFinished);
    const QByteArray command = BoardProtocol::minuteCommand(5);
    const Clock::time_point written = Clock::now();
    demo.EnviaOrden(command);
    QVERIFY(finished.wait(WaitLimitMs) || !finished.isEmpty());

    // Byte for byte to Com2's board only, and its whole reply shown.
    QCOMPARE(board2.received(), command);
    QVERIFY(channel.board(1).received().isEmpty());
    QCOMPARE(finished.first().at(1).toByteArray(), QByteArray("OK0500"));
    QCOMPARE(shownDemo.last, fields("OK", "05", "0", "0"));

    // The command took its line time to reach the board...
    QCOMPARE(board2.commands().size(), 1);
    const Clock::time_point parsedAt = board2.commands().first().at;
    QVERIFY(parsedAt >= written + command.size() * BoardEmulator::ByteTime);
    // ...and the reply left one byte time per byte after the board's delay,
    // none of it handed over before its time.
    QByteArray replied;
    for (const Out &piece : std::as_const(out)) {
        replied += piece.bytes;
        QVERIFY(!piece.early);
        QCOMPARE(piece.at - parsedAt, 20ms + replied.size() * BoardEmulator::ByteTime);
    }
    QCOMPARE(replied, QByteArray("OK0500"));

    // What a board sends while its port is closed is lost, as on a real line.
    channel.close();
    QSignalSpy left(&board2, &BoardEmulator::sent);
    board2.sendUnasked("late");
    QVERIFY(left.wait(WaitLimitMs));
    QVERIFY(channel.open());
    QCOMPARE(channel.readAll(), QByteArray());
}

QTEST_GUILESS_MAIN(TstDeviceDialogue)
#include "tst_device_dialogue.moc"
