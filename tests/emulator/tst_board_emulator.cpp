#include "board_emulator.h"

#include <QSignalSpy>
#include <QTest>

#include <cerrno>
#include <memory>

#include <fcntl.h>
#include <poll.h>
#include <sys/resource.h>
#include <termios.h>
#include <unistd.h>

using namespace std::chrono_literals;
using Clock = BoardEmulator::Clock;
constexpr auto ByteTime = BoardEmulator::ByteTime;

namespace {

// The panel's end of the line, with nothing but POSIX calls.
struct Panel
{
    int fd = -1;
    QByteArray got;

    explicit Panel(const QString &path)
    {
        fd = ::open(path.toLocal8Bit().constData(), O_RDWR | O_NOCTTY | O_NONBLOCK);
        termios tio{};
        if (fd >= 0 && ::tcgetattr(fd, &tio) == 0) {
            ::cfmakeraw(&tio);
            ::tcsetattr(fd, TCSANOW, &tio);
        }
    }
    ~Panel() { close(); }
    void close()
    {
        if (fd >= 0)
            ::close(fd);
        fd = -1;
    }
    bool write(const QByteArray &bytes) { return ::write(fd, bytes.constData(), size_t(bytes.size())) == bytes.size(); }
    // Everything read so far, after taking in what is waiting now.
    QByteArray read()
    {
        char buffer[65536];
        ssize_t n;
        while ((n = ::read(fd, buffer, sizeof buffer)) > 0)
            got.append(buffer, n);
        return got;
    }
};

qint64 cpuMicroseconds()
{
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    return (usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1000000LL + usage.ru_utime.tv_usec
        + usage.ru_stime.tv_usec;
}

} // namespace

namespace QTest {
template<>
char *toString(const BoardEmulator::Cells &cells)
{
    return toHexRepresentation(reinterpret_cast<const char *>(cells.data()), qsizetype(cells.size()));
}
} // namespace QTest

class TestBoardEmulator : public QObject
{
    Q_OBJECT

    std::unique_ptr<BoardEmulator> board;
    std::unique_ptr<Panel> panel;

    // Sends `command`; true once the panel got exactly `reply` back.
    [[nodiscard]] bool exchange(const QByteArray &command, const QByteArray &reply)
    {
        panel->got.clear();
        return panel->write(command)
            && QTest::qWaitFor([&] { return panel->read() == reply; }, 10000);
    }

    // Reads until the panel holds `count` bytes; when each byte was first seen.
    QList<Clock::time_point> arrivals(qsizetype count)
    {
        QList<Clock::time_point> seen;
        const Clock::time_point limit = Clock::now() + 10s;
        while (panel->got.size() < count && Clock::now() < limit) {
            QTest::qWait(1);
            const qsizetype before = panel->got.size();
            panel->read();
            seen.insert(seen.size(), panel->got.size() - before, Clock::now());
        }
        return seen;
    }

private slots:
    void init()
    {
        board = std::make_unique<BoardEmulator>();
        QVERIFY2(board->start(), qPrintable(board->errorString()));
        QVERIFY(board->devicePath().startsWith(QLatin1String("/dev/")));
        panel = std::make_unique<Panel>(board->devicePath());
        QVERIFY(panel->fd >= 0);
    }
    void cleanup()
    {
        panel.reset();
        board.reset();
    }

    void answers_data()
    {
        QTest::addColumn<QByteArray>("sent");
        QTest::addColumn<bool>("split");
        QTest::addColumn<QByteArray>("replies");
        QTest::addColumn<int>("commands");

        QTest::newRow("connect") << QByteArray("I1") << false << QByteArray("OK0100") << 1;
        QTest::newRow("minute 10") << QByteArray("I2P  10 ") << false << QByteArray("OK1000") << 1;
        QTest::newRow("bit 7") << QByteArray("I3P  7 ") << false << QByteArray("OK0170") << 1;
        QTest::newRow("mode 1") << QByteArray("I7P  1 ") << false << QByteArray("OK0101") << 1;
        QTest::newRow("burst") << QByteArray("I2P  4 I3P  2 I7P  1 ") << false
                               << QByteArray("OK0400OK0420OK0421") << 3;
        QTest::newRow("burst byte by byte") << QByteArray("I2P  4 I3P  2 I7P  1 ") << true
                                            << QByteArray("OK0400OK0420OK0421") << 3;
        QTest::newRow("program, erase, start") << QByteArray("I3P  2 I4I5I6I8") << false
                                               << QByteArray("OK0120").repeated(5) << 5;
        QTest::newRow("minute 0") << QByteArray("I2P  0 ") << false << QByteArray("ER0100") << 1;
        QTest::newRow("minute 11 keeps 5") << QByteArray("I2P  5 I2P  11 ") << false
                                           << QByteArray("OK0500ER0500") << 2;
        QTest::newRow("negative minute") << QByteArray("I2P -1 ") << false << QByteArray("ER0100") << 1;
        QTest::newRow("bit 8") << QByteArray("I3P  8 ") << false << QByteArray("ER0100") << 1;
        QTest::newRow("mode 2") << QByteArray("I7P  2 ") << false << QByteArray("ER0100") << 1;
        QTest::newRow("malformed, resync on I") << QByteArray("I2X I3P  3 ") << false
                                                << QByteArray("ER0100OK0130") << 2;
        QTest::newRow("malformed byte by byte") << QByteArray("I2P x\r\nI7P  1 ") << true
                                                << QByteArray("ER0100OK0101") << 2;
        QTest::newRow("doubled I") << QByteArray("II1") << false << QByteArray("ER0100OK0100") << 2;
        QTest::newRow("garbage run, then command") << QByteArray("\r\nxyz\0\xff", 7) + "I2P  2 " << false
                                                   << QByteArray("ER0100OK0200") << 2;
        QTest::newRow("garbage then quiet") << QByteArray("zzz") << false << QByteArray("ER0100") << 1;
        QTest::newRow("no digits") << QByteArray("I2P   ") << false << QByteArray("ER0100") << 1;
        QTest::newRow("never finished") << QByteArray("I3P  3") << false << QByteArray("ER0100") << 1;
        QTest::newRow("endless digits") << QByteArray("I2P  ") + QByteArray(200, '0') + "1 " << false
                                        << QByteArray("ER0100") << 1;
    }
    void answers()
    {
        QFETCH(QByteArray, sent);
        QFETCH(bool, split);
        QFETCH(QByteArray, replies);
        QFETCH(int, commands);

        if (split) {
            for (const char c : sent) {
                QVERIFY(panel->write(QByteArray(1, c)));
                QTest::qWait(2);
            }
        } else {
            QVERIFY(panel->write(sent));
        }
        QTRY_COMPARE_WITH_TIMEOUT(panel->read(), replies, 10000);
        // Nothing more trails behind, and each answer stands for one command.
        QTest::qWait(600);
        QCOMPARE(panel->read(), replies);
        QCOMPARE(board->commands().size(), commands);
        QCOMPARE(board->received(), sent);
        // The reply the board would give now shows the state the last one did.
        QCOMPARE(board->normalReply(), "OK" + replies.right(4));
    }

    // Programar sets the cell of the board's minute and bit, Minutos clears
    // the minute, Bit/Min the cell; nothing else, and no command it refused,
    // changes what it holds.
    void keepsTheProgram_data()
    {
        using Cells = BoardEmulator::Cells;
        Cells all;
        all.fill(0xff);
        const auto with = [](Cells cells, int minute, quint8 bits) {
            cells[std::size_t(minute - 1)] = bits;
            return cells;
        };
        QTest::addColumn<Cells>("before");
        QTest::addColumn<QByteArray>("sent");
        QTest::addColumn<Cells>("after");
        QTest::addColumn<bool>("started");
        QTest::newRow("program, then clear a cell") << Cells{} << QByteArray("I2P  3 I3P  5 I4I3P  0 I4I3P  7 I4I6")
                                                    << with({}, 3, 0x21) << false;
        QTest::newRow("program twice, on minute 1 bit 0") << Cells{} << QByteArray("I4I4I1") << with({}, 1, 0x01) << false;
        QTest::newRow("clear a minute") << all << QByteArray("I2P  4 I5I8") << with(all, 4, 0) << true;
        QTest::newRow("clear a cell") << all << QByteArray("I2P  10 I3P  7 I6I8I1") << with(all, 10, 0x7f) << false;
        QTest::newRow("refused values leave the cell") << Cells{} << QByteArray("I2P  2 I3P  6 I2P  11 I3P  9 I4")
                                                       << with({}, 2, 0x40) << false;
        QTest::newRow("mode, connect, start keep it") << all << QByteArray("I7P  0 I1I8") << all << true;
    }
    void keepsTheProgram()
    {
        QFETCH(BoardEmulator::Cells, before);
        QFETCH(QByteArray, sent);
        QFETCH(BoardEmulator::Cells, after);
        QFETCH(bool, started);
        board->setLinePaced(false);
        board->setReplyDelay(0);
        board->setCells(before);
        QVERIFY(panel->write(sent));
        const qsizetype commands = sent.count('I');
        QTRY_COMPARE(panel->read().size(), 6 * commands);
        QCOMPARE(board->commands().size(), commands);
        QCOMPARE(board->cells(), after);
        QCOMPARE(board->isStarted(), started);
    }

    void silent()
    {
        QSignalSpy parsed(board.get(), &BoardEmulator::commandParsed);
        board->setSilent(true);
        QVERIFY(panel->write("I2P  5 I9"));
        QTRY_COMPARE(parsed.size(), 2);
        QTest::qWait(200);
        QCOMPARE(panel->read(), QByteArray());
        board->setSilent(false);
        QVERIFY2(exchange("I1", "OK0500"), panel->got.constData());
    }

    void overrideWithAnyBytes()
    {
        QByteArray all;
        for (int i = 0; i < 256; ++i)
            all += char(i);
        board->setReplyScript({{0, all}});
        QVERIFY2(exchange("I2P  2 ", all), panel->got.constData());
        board->setReplyScript({});
        QVERIFY2(exchange("I1", "OK0200"), panel->got.constData());
    }

    void answersAtTheirDelays()
    {
        board->setReplyDelay(120);
        Clock::time_point written = Clock::now();
        QVERIFY2(exchange("I1", "OK0100"), panel->got.constData());
        QVERIFY(Clock::now() >= written + 120ms);

        board->setReplyScript({{0, "<"}, {150, "{reply}>"}, {60, "|"}});
        panel->got.clear();
        written = Clock::now();
        QVERIFY(panel->write("I3P  4 "));
        // Every piece shows up no earlier than its own delay after the write.
        const QList<Clock::time_point> seen = arrivals(9);
        QCOMPARE(panel->got, QByteArray("<|OK0140>"));
        QVERIFY(seen.at(1) >= written + 60ms);
        QVERIFY(seen.at(2) >= written + 150ms);

        board->setReplyScript({});
        board->setReplyDelay(0);
        QVERIFY2(exchange("I1", "OK0140"), panel->got.constData());
    }

    // Paced, nothing shows up sooner than a real 2400-baud 8N1 line allows: a
    // command is parsed after the line time of its bytes, and its answer
    // starts a reply delay later and leaves a byte at a time, behind whatever
    // is still going out.
    void keepsTheLinePace()
    {
        Clock::time_point parsedAt;
        connect(board.get(), &BoardEmulator::commandParsed, this, [&] { parsedAt = Clock::now(); });
        board->setReplyDelay(30);
        Clock::time_point written = Clock::now();
        QVERIFY(panel->write("I2P  3 "));
        QList<Clock::time_point> seen = arrivals(6);
        QCOMPARE(panel->got, QByteArray("OK0300"));
        QVERIFY(parsedAt >= written + 7 * ByteTime);
        for (int k = 0; k < 6; ++k)
            QVERIFY2(seen.at(k) >= written + 7 * ByteTime + 30ms + (k + 1) * ByteTime, qPrintable(QString::number(k)));

        // Two long answers at once: the second waits for the line, and each
        // is told as sent only once its last byte has left.
        const QByteArray longAnswer = QByteArray("0123456789").repeated(4);
        board->setReplyScript({{0, longAnswer}});
        QList<std::pair<Clock::time_point, QByteArray>> told;
        connect(board.get(), &BoardEmulator::sent, this,
                [&](const QByteArray &bytes) { told.append({Clock::now(), bytes}); });
        panel->got.clear();
        written = Clock::now();
        QVERIFY(panel->write("I1I1"));
        seen = arrivals(2 * longAnswer.size());
        QCOMPARE(panel->got, longAnswer + longAnswer);
        QVERIFY2(seen.first() < seen.last(), "the answers came in one piece");
        for (int k = 0; k < seen.size(); ++k)
            QVERIFY2(seen.at(k) >= written + 2 * ByteTime + (k + 1) * ByteTime, qPrintable(QString::number(k)));
        QTRY_COMPARE(told.size(), 2);
        for (int k = 0; k < 2; ++k) {
            QCOMPARE(told.at(k).second, longAnswer);
            QVERIFY2(told.at(k).first >= written + 2 * ByteTime + (k + 1) * longAnswer.size() * ByteTime,
                     qPrintable(QString::number(k)));
        }
    }

    void instantWhenNotPaced()
    {
        board->setLinePaced(false);
        const QByteArray longAnswer = QByteArray("0123456789").repeated(8);
        board->setReplyScript({{0, longAnswer}});
        QVERIFY(panel->write("I1"));
        const QList<Clock::time_point> seen = arrivals(longAnswer.size());
        QCOMPARE(panel->got, longAnswer);
        QVERIFY2(seen.first() == seen.last(), "the answer came in pieces");
    }

    void unasked()
    {
        QVERIFY2(exchange({}, {}), panel->got.constData());
        board->sendUnasked("\x02hi\xff");
        QTRY_COMPARE(panel->read(), QByteArray("\x02hi\xff"));

        // Far more than the pseudo-terminal holds while the panel is not
        // reading: the emulator must neither block nor lose any of it.
        board->setLinePaced(false);
        QByteArray big(1 << 20, '\0');
        for (qsizetype i = 0; i < big.size(); ++i)
            big[i] = char(i * 7 + i / 251);
        panel->got.clear();
        board->sendUnasked(big);
        QTRY_COMPARE_WITH_TIMEOUT(panel->read().size(), big.size(), 30000);
        QVERIFY(panel->got == big);
    }

    void panelClosesAndReopens()
    {
        QVERIFY2(exchange("I2P  7 ", "OK0700"), panel->got.constData());
        panel->close();

        const qint64 before = cpuMicroseconds();
        QTest::qWait(1000);
        const qint64 spent = cpuMicroseconds() - before;
        QVERIFY2(spent < 250000, qPrintable(QStringLiteral("%1 us of CPU while idle").arg(spent)));
        QVERIFY(board->isRunning());

        panel = std::make_unique<Panel>(board->devicePath());
        QVERIFY(panel->fd >= 0);
        QVERIFY2(exchange("I3P  1 ", "OK0710"), panel->got.constData());

        // An answer falling due while the panel is away stays in the line.
        QVERIFY(panel->write("I1"));
        panel->close();
        QTRY_COMPARE(board->commands().size(), 3);
        QTest::qWait(100);
        panel = std::make_unique<Panel>(board->devicePath());
        QTRY_COMPARE(panel->read(), QByteArray("OK0710"));
    }

    void hangUp()
    {
        QVERIFY(panel->write("I2P  4"));   // left unfinished
        board->hangUp();
        QVERIFY(!board->isRunning());

        pollfd p{panel->fd, POLLIN, 0};
        QCOMPARE(::poll(&p, 1, 5000), 1);
        QVERIFY(p.revents & POLLHUP);
        char c;
        const ssize_t n = ::read(panel->fd, &c, 1);
        QVERIFY(n == 0 || (n < 0 && errno == EIO));

        board->setCells({0xff});
        board->hangUp();
        QCOMPARE(board->cells(), BoardEmulator::Cells{0xff});

        // Starting again gives a fresh board on a new line, its program all off.
        QVERIFY(board->start());
        QCOMPARE(board->cells(), BoardEmulator::Cells{});
        panel = std::make_unique<Panel>(board->devicePath());
        QVERIFY2(exchange("I1", "OK0100"), panel->got.constData());
        QCOMPARE(board->received(), QByteArray("I1"));
    }
};

QTEST_GUILESS_MAIN(TestBoardEmulator)
#include "tst_board_emulator.moc"
