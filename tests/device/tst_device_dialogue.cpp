#include "board_protocol.h"
#include "device_dialogue.h"
#include "scripted_channel.h"
#ifdef PROGRAMADOR_HAVE_EMULATOR
#include "board_emulator.h"
#include "qt_serial_channel.h"
#endif

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTest>

#include <chrono>

using BoardProtocol::StatusFields;
using Clock = std::chrono::steady_clock;

static StatusFields fields(const char *rx, const char *min, const char *bit, const char *ejecutar)
{
    return StatusFields{QString::fromLatin1(rx), QString::fromLatin1(min),
                        QString::fromLatin1(bit), QString::fromLatin1(ejecutar)};
}

static const StatusFields Blank{};
static const StatusFields TimedOut = fields("NO", "  ", " ", "");
static constexpr int WaitLimitMs = 5000;

class TstDeviceDialogue : public QObject
{
    Q_OBJECT

private slots:
    // Where there are no pseudo-terminals (Windows), only the scripted cases.
#ifdef PROGRAMADOR_HAVE_EMULATOR
    void init();
    void cleanup();

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

    // Exact polls, with a scripted channel.
    void replyAtAnExactPoll_data();
    void replyAtAnExactPoll();
    void splitReplyIsShownWhole_data();
    void splitReplyIsShownWhole();
    void workForAGonePortIsDropped();

#ifdef PROGRAMADOR_HAVE_EMULATOR
private:
    bool exchange(const QByteArray &orden);

    BoardEmulator *board = nullptr;
    QtSerialChannel *serie = nullptr;
    DeviceDialogue *dialogue = nullptr;
#endif
};

#ifdef PROGRAMADOR_HAVE_EMULATOR

void TstDeviceDialogue::init()
{
    board = new BoardEmulator(this);
    QVERIFY2(board->start(), qPrintable(board->errorString()));
    PortMap ports;
    ports.setDevice(1, board->devicePath());
    serie = new QtSerialChannel(ports, this);
    serie->setPortNumber(1);
    QVERIFY(serie->open());
    dialogue = new DeviceDialogue(serie, this);
}

void TstDeviceDialogue::cleanup()
{
    delete dialogue;
    delete serie;
    delete board;
    dialogue = nullptr;
    serie = nullptr;
    board = nullptr;
}

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
    QCOMPARE(dialogue->status(), fields("OK", "10", "7", "One"));
}

void TstDeviceDialogue::replyTiming_data()
{
    QTest::addColumn<int>("delayMs");
    QTest::addColumn<bool>("silent");
    QTest::addColumn<StatusFields>("shown");
    QTest::addColumn<int>("polls");

    // Reads happen right after the write, then 100 ms and 200 ms after it.
    QTest::newRow("before the second read") << 20 << false << fields("OK", "01", "0", "One") << 2;
    // The third read's text is the board's answer: shown, not replaced by "NO".
    QTest::newRow("between second and third read") << 150 << false << fields("OK", "01", "0", "One") << 3;
    QTest::newRow("never") << 0 << true << TimedOut << 3;
    // At the line's pace ("I1" reaches the board 8.3 ms after the write, each
    // reply byte 4.2 ms after the one before), starting 8 ms before a read:
    // that read sees the first bytes, the end of the wait the rest.
    QTest::newRow("paced, across the second read") << 84 << false << fields("OK", "01", "0", "One") << 2;
    QTest::newRow("paced, across the third read") << 184 << false << fields("OK", "01", "0", "One") << 3;
}

void TstDeviceDialogue::replyTiming()
{
    QFETCH(int, delayMs);
    QFETCH(bool, silent);
    QFETCH(StatusFields, shown);
    QFETCH(int, polls);

    board->setReplyDelay(delayMs);
    board->setSilent(silent);
    QVERIFY(board->isLinePaced());
    QSignalSpy polled(dialogue, &DeviceDialogue::polled);
    QVERIFY(exchange(BoardProtocol::connectCommand()));
    QCOMPARE(dialogue->status(), shown);
    QCOMPARE(polled.size(), polls);
    QCOMPARE(dialogue->pasada(), double(polls + 1));
    QVERIFY(dialogue->recibido());
    if (silent)
        QCOMPARE(dialogue->respuesta(), QByteArray("NO    "));
}

void TstDeviceDialogue::oddReplies_data()
{
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<StatusFields>("shown");

    QTest::newRow("eight characters") << QByteArray("AB0231XY") << fields("AB", "02", "3", "Sec.");
    QTest::newRow("two characters") << QByteArray("AB") << fields("AB", "", "", "");
    QTest::newRow("sixth is 7") << QByteArray("AB0237") << fields("AB", "02", "3", "");
    QTest::newRow("high bytes") << QByteArray("\xe9\xff\x00\x01\x80" "0", 6)
                                << StatusFields{QString::fromLatin1("\xe9\xff"),
                                                QString::fromLatin1("\x00\x01", 2),
                                                QString::fromLatin1("\x80"), "One"};
}

void TstDeviceDialogue::oddReplies()
{
    QFETCH(QByteArray, reply);
    QFETCH(StatusFields, shown);
    board->setReplyOverride(reply);
    QVERIFY(exchange(BoardProtocol::startCommand()));
    QCOMPARE(dialogue->status(), shown);
    QCOMPARE(dialogue->respuesta(), reply);
}

void TstDeviceDialogue::staleInputIsDiscarded()
{
    board->sendUnasked("ZZ9999");
    QTest::qWait(50);   // let the stray bytes reach the panel's side
    board->setReplyDelay(30);
    QVERIFY(exchange(BoardProtocol::minuteCommand(4)));
    QCOMPARE(dialogue->status(), fields("OK", "04", "0", "One"));

    // A reply split so that its tail arrives after the wait ended: the next
    // wait throws the tail away before it listens.
    board->setReplyScript({{20, "OK"}, {260, "TAIL!!"}});
    QVERIFY(exchange(BoardProtocol::bitCommand(3)));
    QCOMPARE(dialogue->status(), fields("OK", "", "", ""));
    QTest::qWait(150);
    board->setReplyScript({});
    QVERIFY(exchange(BoardProtocol::connectCommand()));
    QCOMPARE(dialogue->status(), fields("OK", "04", "3", "One"));
}

void TstDeviceDialogue::boxesAreBlankDuringTheWait()
{
    board->setReplyDelay(20);
    QVERIFY(exchange(BoardProtocol::connectCommand()));
    QCOMPARE(dialogue->status().LBRX, QStringLiteral("OK"));

    QList<StatusFields> seen;
    QList<bool> busyWhenSeen;
    connect(dialogue, &DeviceDialogue::statusChanged, this, [&](const StatusFields &s) {
        seen.append(s);
        busyWhenSeen.append(dialogue->isBusy());
    });
    QVERIFY(exchange(BoardProtocol::programCommand()));
    QCOMPARE(seen.size(), 2);
    QCOMPARE(seen.first(), Blank);
    QVERIFY(busyWhenSeen.first());
    QCOMPARE(seen.last(), fields("OK", "01", "0", "One"));
}

void TstDeviceDialogue::commandsAskedTogetherRunOneAfterAnother()
{
    board->setReplyDelay(20);
    QList<Clock::time_point> writtenAt, finishedAt;
    QList<QByteArray> finishedOrder;
    connect(dialogue, &DeviceDialogue::written, this,
            [&](const QByteArray &) { writtenAt.append(Clock::now()); });
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
    QCOMPARE(dialogue->queued(), 2);

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
    QCOMPARE(dialogue->status(), fields("OK", "02", "5", "Sec."));
}

void TstDeviceDialogue::closedChannelRefusesWithoutWriting()
{
    QVERIFY(exchange(BoardProtocol::connectCommand()));
    const StatusFields before = dialogue->status();
    serie->close();
    QSignalSpy refused(dialogue, &DeviceDialogue::refused);
    QSignalSpy changed(dialogue, &DeviceDialogue::statusChanged);
    dialogue->EnviaOrden(BoardProtocol::programCommand());
    QCOMPARE(refused.size(), 1);
    QVERIFY(refused.first().at(1).toString().contains(QStringLiteral("Com1 or Com2")));
    QVERIFY(!dialogue->isBusy());
    QCOMPARE(dialogue->queued(), 0);
    QTest::qWait(100);
    QCOMPARE(board->received(), BoardProtocol::connectCommand());
    QCOMPARE(changed.size(), 0);
    QCOMPARE(dialogue->status(), before);
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
    QCOMPARE(dialogue->queued(), 0);
    QVERIFY(!dialogue->isBusy());
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

#endif // PROGRAMADOR_HAVE_EMULATOR

void TstDeviceDialogue::replyAtAnExactPoll_data()
{
    QTest::addColumn<int>("poll");
    QTest::addColumn<StatusFields>("shown");
    QTest::addColumn<double>("pasada");
    QTest::addColumn<int>("endsAfterMs");

    // The wait ends a full pass after the read that saw the reply, and a
    // silent board times out only after the third pass.
    QTest::newRow("first") << 1 << fields("OK", "03", "2", "Sec.") << 2.0 << 100;
    QTest::newRow("second") << 2 << fields("OK", "03", "2", "Sec.") << 3.0 << 200;
    QTest::newRow("third") << 3 << fields("OK", "03", "2", "Sec.") << 4.0 << 300;
    QTest::newRow("none") << 0 << TimedOut << 4.0 << 300;
}

void TstDeviceDialogue::replyAtAnExactPoll()
{
    QFETCH(int, poll);
    QFETCH(StatusFields, shown);
    QFETCH(double, pasada);
    QFETCH(int, endsAfterMs);

    ScriptedChannel channel;
    DeviceDialogue exact(&channel);
    // The first read is the flush before listening; stale text there never shows.
    channel.reads = {"STALE!", "", "", "", ""};
    if (poll > 0)
        channel.reads[poll] = "OK0321";
    QSignalSpy polled(&exact, &DeviceDialogue::polled);
    QSignalSpy finished(&exact, &DeviceDialogue::exchangeFinished);
    QElapsedTimer clock;
    clock.start();
    exact.EnviaOrden("I1");
    QVERIFY(finished.wait(WaitLimitMs));
    QVERIFY2(clock.elapsed() >= endsAfterMs, qPrintable(QString::number(clock.elapsed())));
    QCOMPARE(channel.writes, QList<QByteArray>{"I1"});
    QCOMPARE(polled.size(), poll > 0 ? poll : 3);
    QCOMPARE(exact.status(), shown);
    QCOMPARE(exact.pasada(), pasada);
    // After the read that saw the reply, only the one that takes in its rest;
    // a time-out reads nothing more.
    QCOMPARE(channel.reads.size(), poll > 0 ? 3 - poll : 1);
}

void TstDeviceDialogue::splitReplyIsShownWhole_data()
{
    QTest::addColumn<QList<QByteArray>>("reads");
    QTest::addColumn<StatusFields>("shown");
    QTest::addColumn<QByteArray>("left");

    // Flush, then polls; the read after the one that saw text is the wait's end.
    QTest::newRow("across the second read")
        << QList<QByteArray>{"", "", "OK0", "121", "NEXT"} << fields("OK", "01", "2", "Sec.")
        << QByteArray("NEXT");
    QTest::newRow("across the third read")
        << QList<QByteArray>{"", "", "", "O", "K0121"} << fields("OK", "01", "2", "Sec.")
        << QByteArray();
    QTest::newRow("still coming at the end")
        << QList<QByteArray>{"", "OK", "01"} << fields("OK", "01", "", "") << QByteArray();
}

void TstDeviceDialogue::splitReplyIsShownWhole()
{
    QFETCH(QList<QByteArray>, reads);
    QFETCH(StatusFields, shown);
    QFETCH(QByteArray, left);

    ScriptedChannel channel;
    DeviceDialogue exact(&channel);
    channel.reads = reads;
    QSignalSpy finished(&exact, &DeviceDialogue::exchangeFinished);
    exact.EnviaOrden("I4");
    QVERIFY(finished.wait(WaitLimitMs));
    QCOMPARE(exact.status(), shown);
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
    exact.EnviaOrden("I5");
    exact.EnviaOrden("I6");
    exact.switchPort(2);
    exact.EnviaOrden("I8");
    channel.loseConnection();
    QVERIFY(idle.wait(WaitLimitMs));
    QCOMPARE(channel.writes, (QList<QByteArray>{"I5", "I8"}));
    QCOMPARE(channel.portNumber(), qint16(2));
}

QTEST_GUILESS_MAIN(TstDeviceDialogue)
#include "tst_device_dialogue.moc"
