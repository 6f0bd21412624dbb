#include "board_emulator.h"
#include "board_protocol.h"
#include "qt_serial_channel.h"
#include "session_report.h"
#include "session_runner.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using Session::Outcome;
using Verdict = ReplyCheck::Verdict;
using Pace = DeviceDialogue::Pace;

// A row at each pace, tagged "window: ..." and "line: ...", its first column "pace".
template <typename... Values>
static void atBothPaces(const char *tag, const Values &...values)
{
    for (const Pace pace : {Pace::Window, Pace::Line})
        ((QTest::addRow("%s: %s", pace == Pace::Line ? "line" : "window", tag) << int(pace)) << ... << values);
}

// What the board gets for a port pick, as the window sends it.
static const QByteArray PortPick = [] {
    QByteArray bytes;
    for (const BoardProtocol::Command &c : BoardProtocol::portPickCommands())
        bytes += c.bytes;
    return bytes;
}();

// Sessions on a real pseudo-terminal with an emulated board at the line's
// pace: what reaches the board, each verdict, and where the session stops.
class TestSessionRunner : public QObject
{
    Q_OBJECT

    BoardEmulator *board = nullptr;
    QtSerialChannel *channel = nullptr;
    SessionRunner *runner = nullptr;
    QList<Session::Record> records;
    QList<Session::Summary> ends;

    // The runner on `text`, started; the test drives the rest.
    void make(const QByteArray &text, int retries = 0, Pace pace = Pace::Window)
    {
        SessionFile::Mistake mistake;
        const auto steps = SessionFile::parse(text, &mistake);
        QVERIFY2(steps, qPrintable(mistake.what));
        runner = new SessionRunner(*channel, *steps, retries, pace, this);
        connect(runner, &SessionRunner::exchanged, this,
                [this](const Session::Record &r) { records << r; });
        connect(runner, &SessionRunner::finished, this,
                [this](const Session::Summary &summary) { ends.append(summary); });
        runner->start();
    }

    [[nodiscard]] bool ended() { return QTest::qWaitFor([this] { return !ends.isEmpty(); }, 20000); }

    QList<Verdict> verdicts() const
    {
        QList<Verdict> out;
        for (const auto &r : records)
            out << r.result.verdict;
        return out;
    }

    // The bytes the board got once the line has settled.
    QByteArray received()
    {
        QTest::qWait(100);
        return board->received();
    }

private slots:
    void init()
    {
        board = new BoardEmulator(this);
        QVERIFY(board->start());
        PortMap ports;
        ports.setDevice(1, board->devicePath());
        channel = new QtSerialChannel(ports, this);
        records.clear();
        ends.clear();
    }

    void cleanup()
    {
        delete runner;
        delete channel;
        delete board;
        runner = nullptr;
        channel = nullptr;
        board = nullptr;
    }

    // The port pick, a schedule line and Start: the same bytes as the window
    // sends, one after the other's reply, every verdict ok, the port closed;
    // the floor is that of the pace.
    void aScheduleProgramsTheBoard_data()
    {
        QTest::addColumn<int>("pace");
        atBothPaces("schedule");
    }
    void aScheduleProgramsTheBoard()
    {
        QFETCH(int, pace);
        QList<BoardEmulator::Clock::time_point> repliesOut;
        connect(board, &BoardEmulator::sent, this,
                [&repliesOut] { repliesOut << BoardEmulator::Clock::now(); });
        make("Com1\nMin 3 Bits 0 5\nEjecutar Una\nStart\n", 0, Pace(pace));
        QVERIFY(ended());
        QCOMPARE(ends.first().outcome, Outcome::Done);
        QCOMPARE(received(), PortPick + QByteArray("I2P  3 I3P  0 I4I3P  5 I4"
                                        "I7P  0 I8"));
        QCOMPARE(verdicts(), QList<Verdict>(11, Verdict::Ok));
        QCOMPARE(records.at(9).reply, QByteArray("OK0350"));
        QVERIFY(!channel->isOpen());
        // Each command went out only after the reply before it had left the board.
        const QList<BoardEmulator::Command> commands = board->commands();
        QCOMPARE(commands.size(), 11);
        QCOMPARE(repliesOut.size(), 11);
        for (qsizetype i = 1; i < commands.size(); ++i)
            QVERIFY(commands.at(i).at - commands.at(i).text.size() * BoardEmulator::ByteTime > repliesOut.at(i - 1));
        const double floor = Pace(pace) == Pace::Line
            ? std::chrono::duration<double>(BoardProtocol::CharTime).count()
                * double(board->received().size() + 6 * records.size())
            : 0.2 * double(records.size());
        QCOMPARE(ends.first().floorSeconds, floor);
        if (Pace(pace) == Pace::Window) {
            for (qsizetype i = 1; i < records.size(); ++i)
                QVERIFY(records.at(i - 1).seconds * 1000 < records.at(i).seconds * 1000 - 150);
        }
    }

    // A retry used up by one step is there again for the next: the count
    // starts afresh after every step that passed.
    void everyStepHasItsOwnRetries_data()
    {
        QTest::addColumn<int>("pace");
        atBothPaces("two silences");
    }
    void everyStepHasItsOwnRetries()
    {
        QFETCH(int, pace);
        // The first try of each Min goes unanswered (the board decides as it
        // parses, so silence is set one command ahead).
        int parsed = 0;
        connect(board, &BoardEmulator::commandParsed, this,
                [&] { ++parsed; board->setSilent(parsed == 4 || parsed == 7); });
        make("Com1\nMin 4\nBit 1\nMin 5\n", 1, Pace(pace));
        QVERIFY(ended());
        QCOMPARE(ends.first().outcome, Outcome::Done);
        QCOMPARE(ends.first().retries, 2);
        QCOMPARE(records.size(), 9);
        QVERIFY(records.at(7).retrying);
        QCOMPARE(records.at(8).step.asked, QStringLiteral("Min 5"));
        QCOMPARE(records.at(8).attempt, 2);
    }

    // Silence is tried again as often as asked, then ends the session with
    // nothing more sent; Start is never sent twice.
    void silenceIsRetriedThenFails_data()
    {
        QTest::addColumn<int>("pace");
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QByteArray>("sentAfterThePortPick");
        atBothPaces("minute", QByteArray("Com1\nMin 4\nBit 1\n"), QByteArray("I2P  4 I2P  4 I2P  4 "));
        atBothPaces("start", QByteArray("Com1\nStart\nBit 1\n"), QByteArray("I8"));
    }
    void silenceIsRetriedThenFails()
    {
        QFETCH(int, pace);
        QFETCH(QByteArray, text);
        QFETCH(QByteArray, sentAfterThePortPick);
        make(text, 2, Pace(pace));
        QVERIFY(QTest::qWaitFor([this] { return records.size() == 4; }, 5000));
        board->setSilent(true);
        QVERIFY(ended());
        QCOMPARE(ends.first().outcome, Outcome::NoAnswer);
        QCOMPARE(received().mid(PortPick.size()), sentAfterThePortPick);
        const Session::Record &last = records.last();
        QCOMPARE(last.result.verdict, Verdict::NoAnswer);
        QCOMPARE(last.step.line, 2);
        QVERIFY(!last.retrying);
        QCOMPARE(ends.first().retries, int(sentAfterThePortPick.count('I')) - 1);
        QVERIFY(!channel->isOpen());
    }

    // A wrong field or a code the file does not accept fails at once, with
    // no retry and nothing sent after it.
    void aWrongAnswerStopsTheSession_data()
    {
        QTest::addColumn<int>("pace");
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<int>("verdict");
        atBothPaces("minute", QByteArray("Com1\nMin 3\nBit 1\n"), QByteArray("OK0401"), int(Verdict::WrongValue));
        atBothPaces("minute, space padded", QByteArray("Com1\nMin 3\n"), QByteArray("OK 301"), -1);
        atBothPaces("bit", QByteArray("Com1\nBit 3\nMin 1\n"), QByteArray("OK0121"), int(Verdict::WrongValue));
        atBothPaces("mode", QByteArray("Com1\nEjecutar Una\nMin 1\n"), QByteArray("OK0101"), int(Verdict::WrongValue));
        atBothPaces("short", QByteArray("Com1\nMin 3\nBit 1\n"), QByteArray("OK"), int(Verdict::WrongValue));
        atBothPaces("code", QByteArray("Com1\nexpect OK\nProgramar\nBit 1\n"), QByteArray("ER0101"), int(Verdict::UnexpectedCode));
    }
    void aWrongAnswerStopsTheSession()
    {
        QFETCH(int, pace);
        QFETCH(QByteArray, text);
        QFETCH(QByteArray, reply);
        QFETCH(int, verdict);
        make(text, 3, Pace(pace));
        QVERIFY(QTest::qWaitFor([this] { return records.size() == 4; }, 5000));
        board->setReplyScript({{0, reply}});
        QVERIFY(ended());
        if (verdict < 0) {   // " 3" says 3 as well as "03" does
            QCOMPARE(ends.first().outcome, Outcome::Done);
            return;
        }
        QCOMPARE(ends.first().outcome, Outcome::CheckFailed);
        QCOMPARE(records.size(), 5);
        QCOMPARE(int(records.last().result.verdict), verdict);
        QCOMPARE(received().size() - PortPick.size(), records.last().step.command.size());
    }

    // A board that goes away mid-session ends it with the channel's words.
    void aLostPortEndsTheSession()
    {
        make("Com1\nMin 2\nMin 3\nMin 4\n");
        QVERIFY(QTest::qWaitFor([this] { return records.size() == 5; }, 5000));
        const QByteArray before = board->received();
        board->hangUp();
        QVERIFY(ended());
        QCOMPARE(ends.first().outcome, Outcome::PortFailed);
        QVERIFY2(ends.first().why.contains(QLatin1String("went away")), qPrintable(ends.first().why));
        QVERIFY(before.endsWith("I2P  3 ") || before.endsWith("I2P  2 "));
        QVERIFY(records.size() <= 6);
    }

    // Asked to stop, the exchange under way ends, then the session, port closed.
    void aStopWaitsForTheExchangeUnderWay_data()
    {
        QTest::addColumn<int>("pace");
        atBothPaces("stop");
    }
    void aStopWaitsForTheExchangeUnderWay()
    {
        QFETCH(int, pace);
        make("Com1\nMin 2\nMin 3\n", 0, Pace(pace));
        QVERIFY(QTest::qWaitFor([this] { return board->received().endsWith("I1"); }, 5000));
        runner->stop(Outcome::Interrupted, QStringLiteral("told to"));
        QCOMPARE(records.size(), 3);
        QVERIFY(ended());
        QCOMPARE(records.size(), 4);
        QCOMPARE(records.last().result.verdict, Verdict::Ok);
        QCOMPARE(ends.first().outcome, Outcome::Interrupted);
        QCOMPARE(received(), PortPick);
        QVERIFY(!channel->isOpen());
    }

    // A row per exchange as it ends, bytes escaped, texts quoted.
    void theReportHasARowPerExchange()
    {
        QTemporaryDir dir;
        SessionReport report;
        QVERIFY(report.open(dir.filePath(QStringLiteral("r.csv"))));
        make("Com1\nMin 3\n");
        connect(runner, &SessionRunner::exchanged, this,
                [&report](const Session::Record &r) { QVERIFY(report.write(r)); });
        QVERIFY(QTest::qWaitFor([this] { return records.size() == 4; }, 5000));
        board->setReplyScript({{0, "OK0\x01" "1,\""}});
        QVERIFY(ended());
        QFile file(dir.filePath(QStringLiteral("r.csv")));
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QList<QByteArray> rows = file.readAll().split('\n');
        QCOMPARE(rows.size(), 7);   // header, five rows, the empty rest
        QCOMPARE(rows.at(0), QByteArray("seconds,line,step,command,reply,status,minute,bit,mode,"
                                        "attempt,verdict,detail\r"));
        QVERIFY2(rows.at(1).startsWith("0.") && rows.at(1).contains(
                     R"x(,1,"Com1","I2P  1 ","OK0100","OK","01","0","One",1,ok,"")x"),
                 rows.at(1).constData());
        QVERIFY2(rows.at(5).contains(
                     R"x(,2,"Min 3","I2P  3 ","OK0\x011,""","OK","0\x01","1","",1,wrong-value,)x"),
                 rows.at(5).constData());
    }
};

QTEST_GUILESS_MAIN(TestSessionRunner)
#include "tst_session_runner.moc"
