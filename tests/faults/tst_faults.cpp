// The panel under faults from the line and from the user: floods, odd bytes,
// hang-ups, a port someone else holds, a trace nobody reads, and a long burst
// of user actions.
#include "board_emulator.h"
#include "board_protocol.h"
#include "command_line.h"
#include "form1.h"
#include "line_trace.h"
#include "line_tap.h"
#include "line_trace_capture.h"
#include "line_writer.h"
#include "message_pattern.h"
#include "panel_test_base.h"
#include "qt_message_routing.h"
#include "qt_serial_channel.h"

#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QKeyEvent>
#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QRandomGenerator>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <utility>

#include <fcntl.h>
#include <poll.h>
#include <sys/resource.h>
#include <unistd.h>

#if defined(__SANITIZE_ADDRESS__)
#define UNDER_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define UNDER_ASAN 1
#endif
#endif
#ifdef UNDER_ASAN
// From the sanitizer runtime; GCC ships no header for it.
extern "C" size_t __sanitizer_get_current_allocated_bytes();
#endif

using namespace BoardProtocol;
using Clock = std::chrono::steady_clock;

namespace {

constexpr int ExchangeLimitMs = 10000;
constexpr qint64 MiB = 1024 * 1024;

const QByteArray Sequence = PanelTestBase::portPickBytes();
const QStringList Connected{"OK", "01", "0", "Sec."};

// Memory the process holds. Under ASan resident memory mostly measures the
// sanitizer's own quarantine, so ask its allocator for what is in use instead.
qint64 memoryInUse()
{
#ifdef UNDER_ASAN
    return qint64(__sanitizer_get_current_allocated_bytes());
#else
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').first().toLongLong() * 1024;
    return -1;
#endif
}

double cpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec)
           + double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// fault_peer in a process of its own, driven line by line.
class Peer
{
public:
    ~Peer()
    {
        process.closeWriteChannel();
        if (!process.waitForFinished(10000))
            process.kill();
        process.waitForFinished();
    }
    [[nodiscard]] bool start(const QStringList &args)
    {
        process.setProgram(QStringLiteral(FAULT_PEER));
        process.setArguments(args);
        process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        process.start();
        return process.waitForStarted();
    }
    void send(const QByteArray &line) { process.write(line + '\n'); }
    // Waits for a line starting with `head` (event loop running); `rest` gets what follows.
    [[nodiscard]] bool waitLine(const QByteArray &head, QByteArray *rest = nullptr)
    {
        return QTest::qWaitFor([&] {
            out += process.readAllStandardOutput();
            for (const QByteArray &l : out.split('\n'))
                if (l.startsWith(head) && out.contains(l + '\n')) {
                    if (rest)
                        *rest = l.mid(head.size());
                    return true;
                }
            return false;
        }, ExchangeLimitMs);
    }
    // Every byte it reported reading so far.
    QByteArray reads()
    {
        out += process.readAllStandardOutput();
        QByteArray bytes;
        for (const QByteArray &l : out.split('\n'))
            if (l.startsWith("read "))
                bytes += QByteArray::fromHex(l.mid(5));
        return bytes;
    }

    QProcess process;
    QByteArray out;
};

} // namespace

class TstFaults : public PanelTestBase
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void floodKeepsMemoryBoundedAndTheLoopRunning();
    void everyByteValueShowsUnchangedAsPlainText();
    void hangUpIsReportedOnce_data();
    void hangUpIsReportedOnce();
    void portHeldByAnotherProgram();
    void traceNobodyReadsLeavesTheWindowAnswering();
    void manyActionsDuringAPortSequence();

private:
    // The window made anew with Com1 on this device.
    [[nodiscard]] bool useForCom1(const QString &device);
    // A board in its own process behind Com1, picked and connected.
    [[nodiscard]] bool connectToBoardPeer(Peer &peer);
    void keyPick(QComboBox *list);
    // Conectar until the boxes show the board's own answer again.
    [[nodiscard]] bool exchangeUntilClean(int attempts, const QStringList &answer = Connected);

};

void TstFaults::init()
{
    QVERIFY(startPanel());
}

void TstFaults::cleanup()
{
    stopPanel();
}

bool TstFaults::useForCom1(const QString &device)
{
    PortMap ports;
    ports.setDevice(1, device);
    ports.setDevice(2, board2->devicePath());
    return rebuildForm(ports);
}

bool TstFaults::connectToBoardPeer(Peer &peer)
{
    QByteArray device;
    if (!peer.start({QStringLiteral("board"), QStringLiteral("5")}) || !peer.waitLine("ready ", &device))
        return false;
    return useForCom1(QString::fromLocal8Bit(device)) && userPick(ui->LstPuerto, 0) && waitIdle();
}

// Arrow key on the closed list: always to a neighbouring entry, so it is a pick.
void TstFaults::keyPick(QComboBox *list)
{
    const bool last = list->currentIndex() == list->count() - 1;
    QTest::keyClick(list, last ? Qt::Key_Up : Qt::Key_Down);
}

bool TstFaults::exchangeUntilClean(int attempts, const QStringList &answer)
{
    for (int i = 0; i < attempts; ++i) {
        click(ui->PbConectar);
        if (!waitIdle())
            return false;
        if (boxes() == answer)
            return true;
    }
    return false;
}

void TstFaults::floodKeepsMemoryBoundedAndTheLoopRunning()
{
    // The flooding board runs in its own process: what it queues is not ours.
    Peer peer;
    QVERIFY(connectToBoardPeer(peer));
    QCOMPARE(boxes(), Connected);

    int beats = 0;
    qint64 peak = 0;
    QTimer heartbeat;
    heartbeat.setInterval(10);
    connect(&heartbeat, &QTimer::timeout, this, [&] {
        ++beats;
        peak = std::max(peak, memoryInUse());
    });
    heartbeat.start();

    // Warm-up through both paths, so buffers and caches are at working size.
    peer.send("flood 65536");
    QTest::qWait(200);
    peer.send("flood-next 65536");
    click(ui->PbProgramar);
    QVERIFY(exchangeUntilClean(200));
    const qint64 base = memoryInUse();
    peak = base;

    // While idle the bytes are taken in and dropped past the receive buffer;
    // nothing spins once they stop.
    peer.send("flood " + QByteArray::number(MiB));
    QTest::qWait(1000);
    int beatsBefore = beats;
    const double cpuBefore = cpuSeconds();
    QTest::qWait(2000);
    const double cpu = cpuSeconds() - cpuBefore;
    QVERIFY2(beats > beatsBefore, "heartbeat stopped during the idle flood");
    QVERIFY2(cpu < 0.5, qPrintable(QStringLiteral("%1 s of CPU in 2 s of idle flood").arg(cpu)));

    // During waits the polls take it in; a second megabyte lands mid-wait.
    beatsBefore = beats;
    peer.send("flood-next " + QByteArray::number(MiB));
    click(ui->PbProgramar);
    QVERIFY2(exchangeUntilClean(1000), "the boxes never showed the board's answer again");
    QVERIFY2(beats > beatsBefore, "heartbeat stopped while the flood came in");

    // The next exchange shows its own reply.
    QVERIFY(userPick(ui->LstMin, 6));
    QVERIFY(waitIdle());
    QCOMPARE(boxes(), (QStringList{"OK", "07", "0", "Sec."}));
    QVERIFY2(peak - base < MiB,
             qPrintable(QStringLiteral("memory grew by %1 KiB").arg((peak - base) / 1024)));
}

void TstFaults::everyByteValueShowsUnchangedAsPlainText()
{
    QSignalSpy reported(form, &Form1::reported);
    for (QLabel *box : {ui->LBRX, ui->LbMin, ui->LbBit, ui->LbEjecutar})
        QCOMPARE(box->textFormat(), Qt::PlainText);
    QVERIFY(userPick(ui->LstPuerto, 0));
    QVERIFY(waitIdle());

    // Five shown characters per reply, every value once; the sixth only picks a word.
    for (int first = 0; first < 256; first += 5) {
        QByteArray reply;
        for (int k = 0; k < 6; ++k)
            reply += char((first + k) % 256);
        board1->setReplyScript({{20, reply}});
        click(ui->PbConectar);
        QVERIFY(waitIdle());
        const QString mode = QString::fromLatin1(reply.mid(5, 1));
        QCOMPARE(boxes(), (QStringList{QString::fromLatin1(reply.mid(0, 2)),
                                       QString::fromLatin1(reply.mid(2, 2)),
                                       QString::fromLatin1(reply.mid(4, 1)),
                                       mode == "0" ? "One" : mode == "1" ? "Sec." : ""}));
    }
    QCOMPARE(reported.size(), 0);
}

void TstFaults::hangUpIsReportedOnce_data()
{
    QTest::addColumn<bool>("midWait");
    QTest::addColumn<int>("unasked");
    QTest::newRow("idle") << false << 0;
    // Unread bytes once hid a hang-up until the next command.
    QTest::newRow("idle, receive buffer full") << false << 4096;
    QTest::newRow("mid-wait, work queued") << true << 0;
}

void TstFaults::hangUpIsReportedOnce()
{
    QFETCH(bool, midWait);
    QFETCH(int, unasked);
    // Com1 by a name that follows the adapter, as /dev/serial/by-id/ names do.
    QTemporaryDir dir;
    const QString link = dir.filePath(QStringLiteral("board"));
    QVERIFY(QFile::link(board1->devicePath(), link));
    QVERIFY(useForCom1(link));
    QVERIFY(userPick(ui->LstPuerto, 0));
    QVERIFY(waitIdle());
    QSignalSpy reported(form, &Form1::reported);
    if (unasked) {
        // Enough to fill the receive buffer at once: faster than the line's pace.
        board1->setLinePaced(false);
        board1->sendUnasked(QByteArray(unasked, 'x'));
        QTest::qWait(300);
    }
    if (midWait) {
        // Queued behind a slow wait: two buttons for Com1, then a pick of Com2
        // and a minute for it.
        board1->setSilent(true);
        click(ui->PbProgramar);
        click(ui->PbStart);
        QVERIFY(userPick(ui->LstPuerto, 1));
        QVERIFY(userPick(ui->LstMin, 3));
        QVERIFY(busyShown());
    }
    board1->hangUp();
    QVERIFY(reported.wait(ExchangeLimitMs));
    QVERIFY(waitIdle());
    QTest::qWait(500);
    QCOMPARE(reported.size(), 1);
    QVERIFY(reported.first().first().toString().contains(QLatin1String("Lost the connection on Com1")));
    QVERIFY(!QApplication::activeModalWidget());
    if (midWait) {
        // What was for Com1 went with it; the pick of Com2 and what follows ran.
        QCOMPARE(board2->received(), Sequence + minuteCommand(4));
        QCOMPARE(channel->portNumber(), qint16(2));
    } else {
        QVERIFY(!channel->isOpen());
        QCOMPARE(board2->received(), QByteArray());
    }

    // The board comes back (on a new device): picking Com1 again works.
    board1->setSilent(false);
    QVERIFY(board1->start());
    QVERIFY(QFile::remove(link));
    QVERIFY(QFile::link(board1->devicePath(), link));
    QVERIFY(userPick(ui->LstPuerto, 0));
    QVERIFY(waitIdle());
    QCOMPARE(board1->received(), Sequence);
    QCOMPARE(boxes(), Connected);
    QCOMPARE(reported.size(), 1);
}

void TstFaults::portHeldByAnotherProgram()
{
    Peer holder;
    QVERIFY(holder.start({QStringLiteral("hold"), board1->devicePath()}));
    QVERIFY(holder.waitLine("open"));

    QSignalSpy reported(form, &Form1::reported);
    QVERIFY(userPick(ui->LstPuerto, 0));
    QCOMPARE(reported.size(), 1);
    const QString message = reported.first().first().toString();
    for (const char *words : {"Com1", "busy", "locked", "another program"})
        QVERIFY2(message.contains(QLatin1String(words)), qPrintable(message));
    QVERIFY(!channel->isOpen());
    QVERIFY(!busyShown());

    // The holder still talks to the board both ways.
    holder.send("write I5");
    QTRY_COMPARE_WITH_TIMEOUT(board1->received(), QByteArray("I5"), ExchangeLimitMs);
    QTRY_COMPARE_WITH_TIMEOUT(holder.reads(), board1->normalReply(), ExchangeLimitMs);

    // Once it lets go, the pick works.
    holder.process.closeWriteChannel();
    QVERIFY(holder.process.waitForFinished(ExchangeLimitMs));
    QVERIFY(userPick(ui->LstPuerto, 0));
    QVERIFY(waitIdle());
    QCOMPARE(board1->received(), "I5" + Sequence);
    QCOMPARE(reported.size(), 1);
}

namespace {

// A pipe for the trace whose reader reads only if the window has frozen
// (after 20 s), so that a frozen window fails the test rather than hanging it.
struct UnreadPipe
{
    int ends[2] = {-1, -1};
    std::mutex mutex;
    std::condition_variable over;
    bool done = false;
    std::atomic<bool> rescued = false;
    std::thread rescuer;

    UnreadPipe()
    {
        // Not inherited: a child holding the read end would be a reader.
        if (::pipe2(ends, O_CLOEXEC) != 0)
            return;
        ::fcntl(ends[1], F_SETPIPE_SZ, 4096);
        rescuer = std::thread([this] {
            std::unique_lock lock(mutex);
            if (over.wait_for(lock, std::chrono::seconds(20), [this] { return done; }))
                return;
            rescued = true;
            char buffer[65536];
            while (!done) {
                lock.unlock();
                pollfd readable{ends[0], POLLIN, 0};
                const bool ended = ::poll(&readable, 1, 100) > 0
                    && ::read(ends[0], buffer, sizeof buffer) <= 0;
                lock.lock();
                if (ended)
                    break;
            }
        });
    }
    void closeReader()
    {
        {
            const std::lock_guard lock(mutex);
            done = true;
        }
        over.notify_all();
        if (rescuer.joinable())
            rescuer.join();
        if (ends[0] >= 0)
            ::close(std::exchange(ends[0], -1));
    }
    ~UnreadPipe()
    {
        closeReader();
        if (ends[1] >= 0)
            ::close(ends[1]);
    }
};

} // namespace

void TstFaults::traceNobodyReadsLeavesTheWindowAnswering()
{
    CommandLine::ignoreBrokenPipe();
    UnreadPipe pipe;
    QVERIFY(pipe.ends[1] >= 0);
    LineWriter trace(pipe.ends[1], 64);
    const QtMessageHandler others = QtMessageRouting::routeTo(trace);
    CommandLine::useMessagePattern();   // the lines as long as the program's
    LineTrace::setUp(true);
    const auto restore = qScopeGuard([others] {
        LineTrace::setUp(false);
        qInstallMessageHandler(others);
    });

    Peer peer;
    QVERIFY(connectToBoardPeer(peer));
    // A flood's trace fills the pipe and the writer's queue: lines of 1 KiB.
    peer.send("flood " + QByteArray::number(256 * 1024));
    const bool dropping = QTest::qWaitFor([&trace] { return trace.dropped() > 0; }, ExchangeLimitMs);
    QVERIFY2(!pipe.rescued, "the window froze while nobody read the trace");
    QVERIFY(dropping);

    // A key pressed during an exchange is handled before that exchange ends.
    // The boxes are blank while a wait runs.
    QList<bool> handledMidWait;
    connect(ui->LstMin, &QComboBox::activated, this,
            [&] { handledMidWait.append(ui->LBRX->text().isEmpty()); });
    click(ui->PbProgramar);
    // Posted, as a key from the window system comes: through the event loop.
    QCoreApplication::postEvent(ui->LstMin, new QKeyEvent(QEvent::KeyPress, Qt::Key_Down, Qt::NoModifier));
    QCoreApplication::postEvent(ui->LstMin, new QKeyEvent(QEvent::KeyRelease, Qt::Key_Down, Qt::NoModifier));
    QVERIFY(waitIdle());
    QVERIFY2(!pipe.rescued, "the window froze while nobody read the trace");
    QCOMPARE(handledMidWait, QList<bool>{true});
    QCOMPARE(ui->LstMin->currentText(), QStringLiteral("2"));

    // The reader goes mid-trace: the trace stops, the window goes on.
    QSignalSpy left(&trace, &LineWriter::readerLeft);
    pipe.closeReader();
    QVERIFY(left.wait(ExchangeLimitMs));
    QVERIFY(exchangeUntilClean(200, {"OK", "02", "0", "Sec."}));
}

void TstFaults::manyActionsDuringAPortSequence()
{
    // Every exchange takes at least two poll periods (200 ms): about twenty
    // seconds. Each kind of action comes up dozens of times, port picks a few.
    constexpr int Actions = 100;
    board1->setReplyDelay(5);
    board2->setReplyDelay(5);
    QSignalSpy reported(form, &Form1::reported);

    // What the board must see, built from the widgets' own signals as they fire.
    QByteArray expected[2];
    int port = 0;
    int fired = 0;
    const auto expect = [&](const QByteArray &bytes) { expected[port] += bytes; ++fired; };
    connect(ui->LstPuerto, &QComboBox::activated, this, [&](int i) { port = i; expect(Sequence); });
    connect(ui->LstMin, &QComboBox::activated, this, [&](int i) { expect(minuteCommand(qint16(i + 1))); });
    connect(ui->LstBit, &QComboBox::activated, this, [&](int i) { expect(bitCommand(qint16(i))); });
    connect(ui->LstSec, &QComboBox::activated, this, [&](int i) { expect(modeCommand(qint16(i))); });
    const QList<std::pair<QPushButton *, QByteArray>> buttons{
        {ui->PbConectar, connectCommand()},     {ui->PbProgramar, programCommand()},
        {ui->PbStart, startCommand()},          {ui->PbBorraMinutos, eraseMinutesCommand()},
        {ui->PbBorraBitMin, eraseBitMinuteCommand()}};
    for (const auto &[button, bytes] : buttons)
        connect(button, &QPushButton::clicked, this, [&, bytes = bytes] { expect(bytes); });
    QList<Clock::time_point> finishedAt;
    const LineTap trace([&finishedAt](const QString &event) {
        if (LineTap::endsAnExchange(event))
            finishedAt.append(Clock::now());
    });

    QVERIFY(userPick(ui->LstPuerto, 0));
    QVERIFY(busyShown());
    QRandomGenerator rng(2400);
    QComboBox *const values[] = {ui->LstMin, ui->LstBit, ui->LstSec};
    for (int i = 0; i < Actions; ++i) {
        const int kind = int(rng.bounded(100));
        QComboBox *list = values[rng.bounded(3)];
        if (kind < 5)
            keyPick(ui->LstPuerto);
        else if (kind < 40)
            keyPick(list);
        else if (kind < 60)
            QVERIFY(userPick(list, int(rng.bounded(list->count()))));
        else
            click(buttons[rng.bounded(int(buttons.size()))].first);
    }
    QCOMPARE(fired, Actions + 1);
    QVERIFY(busyShown());
    QVERIFY(waitIdle(30 * 60 * 1000));

    // All carried out, in order, to the port picked before them.
    QCOMPARE(board1->received(), expected[0]);
    QCOMPARE(board2->received(), expected[1]);
    // One at a time: each command reached its board after the previous exchange ended.
    QList<Clock::time_point> parsedAt;
    for (const BoardEmulator *board : {board1, board2})
        for (const auto &command : board->commands()) {
            QVERIFY(command.valid);
            parsedAt.append(command.at);
        }
    std::sort(parsedAt.begin(), parsedAt.end());
    QCOMPARE(parsedAt.size(), finishedAt.size());
    for (int i = 1; i < parsedAt.size(); ++i)
        QVERIFY2(parsedAt[i] >= finishedAt[i - 1], qPrintable(QStringLiteral("overlap at %1").arg(i)));
    QCOMPARE(reported.size(), 0);
}

QTEST_MAIN(TstFaults)
#include "tst_faults.moc"
