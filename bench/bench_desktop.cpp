// The real programs on an X server (run under xvfb-run): start-up time and
// memory of programador beside CuteCom, what programador costs while idle
// with the port open, and what it costs when the board's side goes away.
//
// bench_desktop --panel PROGRAMADOR --emulator BOARD_EMULATOR [--cutecom CUTECOM] [--starts N]

#include "stats.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <optional>
#include <thread>

#include <poll.h>
#include <unistd.h>
#include <xcb/xcb.h>

using namespace Bench;
using namespace std::chrono_literals;

namespace {

// Top-level windows being mapped, as the X server reports them. With no
// window manager every top-level window is a child of the root.
class MapWatcher
{
public:
    MapWatcher()
    {
        m_c = xcb_connect(nullptr, nullptr);
        if (xcb_connection_has_error(m_c))
            return;
        m_root = xcb_setup_roots_iterator(xcb_get_setup(m_c)).data->root;
        const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
        xcb_change_window_attributes(m_c, m_root, XCB_CW_EVENT_MASK, &mask);
        const char name[] = "_NET_WM_PID";
        xcb_intern_atom_reply_t *atom =
            xcb_intern_atom_reply(m_c, xcb_intern_atom(m_c, 0, sizeof name - 1, name), nullptr);
        m_pidAtom = atom ? atom->atom : xcb_atom_t(XCB_ATOM_NONE);
        free(atom);
        xcb_flush(m_c);
    }
    ~MapWatcher() { xcb_disconnect(m_c); }

    bool ok() const { return !xcb_connection_has_error(m_c) && m_pidAtom != XCB_ATOM_NONE; }

    struct Mapped
    {
        xcb_window_t window;
        Clock::time_point at;
    };

    // The next top-level window of `pid` to be mapped before `deadline`.
    std::optional<Mapped> next(qint64 pid, Clock::time_point deadline)
    {
        while (true) {
            while (xcb_generic_event_t *event = xcb_poll_for_event(m_c)) {
                const Clock::time_point at = Clock::now();
                const bool isMap = (event->response_type & 0x7f) == XCB_MAP_NOTIFY;
                const xcb_window_t window = isMap ? reinterpret_cast<xcb_map_notify_event_t *>(event)->window : 0;
                free(event);
                if (isMap && pidOf(window) == pid)
                    return Mapped{window, at};
            }
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
            if (left.count() <= 0 || xcb_connection_has_error(m_c))
                return std::nullopt;
            pollfd fd{xcb_get_file_descriptor(m_c), POLLIN, 0};
            ::poll(&fd, 1, int(left.count()) + 1);
        }
    }

    // Forgets the maps seen so far.
    void drain()
    {
        while (xcb_generic_event_t *event = xcb_poll_for_event(m_c))
            free(event);
    }

private:
    qint64 pidOf(xcb_window_t window)
    {
        xcb_get_property_reply_t *reply = xcb_get_property_reply(
            m_c, xcb_get_property(m_c, 0, window, m_pidAtom, XCB_ATOM_CARDINAL, 0, 1), nullptr);
        qint64 pid = -1;
        if (reply && xcb_get_property_value_length(reply) == 4)
            pid = *static_cast<const uint32_t *>(xcb_get_property_value(reply));
        free(reply);
        return pid;
    }

    xcb_connection_t *m_c = nullptr;
    xcb_window_t m_root = 0;
    xcb_atom_t m_pidAtom = XCB_ATOM_NONE;
};

// What /proc says a process has used so far.
struct Usage
{
    double cpuMs = 0;       // utime + stime from /proc/PID/stat, in clock ticks
    double runMs = 0;       // schedstat run time summed over the threads: ns resolution
    qint64 switches = 0;    // voluntary + nonvoluntary, summed over the threads
    QStringList perThread;  // "name: switches" for the report
};

QByteArray readProc(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

qint64 statusField(const QByteArray &status, const QByteArray &key)
{
    for (const QByteArray &line : status.split('\n')) {
        if (line.startsWith(key + ':'))
            return line.mid(key.size() + 1).trimmed().split(' ').value(0).toLongLong();
    }
    return 0;
}

Usage usageOf(qint64 pid)
{
    Usage u;
    const QString base = QStringLiteral("/proc/%1").arg(pid);
    // Fields after the command name, which is in parentheses and may hold spaces.
    const QByteArray stat = readProc(base + QStringLiteral("/stat"));
    const QList<QByteArray> fields = stat.mid(stat.lastIndexOf(')') + 2).split(' ');
    const double msPerTick = 1000.0 / double(::sysconf(_SC_CLK_TCK));
    u.cpuMs = (fields.value(11).toDouble() + fields.value(12).toDouble()) * msPerTick;

    const QStringList tasks = QDir(base + QStringLiteral("/task")).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString &tid : tasks) {
        const QString task = base + QStringLiteral("/task/") + tid;
        const QByteArray status = readProc(task + QStringLiteral("/status"));
        const qint64 switches = statusField(status, "voluntary_ctxt_switches")
                                + statusField(status, "nonvoluntary_ctxt_switches");
        u.switches += switches;
        u.runMs += readProc(task + QStringLiteral("/schedstat")).split(' ').value(0).toDouble() / 1e6;
        u.perThread << QStringLiteral("%1 %2: %3")
                           .arg(tid, QString::fromUtf8(readProc(task + QStringLiteral("/comm")).trimmed()))
                           .arg(switches);
    }
    return u;
}

qint64 peakResidentKb(qint64 pid)
{
    return statusField(readProc(QStringLiteral("/proc/%1/status").arg(pid)), "VmHWM");
}

void stop(QProcess &process)
{
    if (process.state() == QProcess::NotRunning)
        return;
    process.terminate();
    if (!process.waitForFinished(5000)) {
        process.kill();
        process.waitForFinished(5000);
    }
}

// Every program starts as on a fresh account: no settings left by an earlier
// run, and in the language asked for (empty: the desktop's own).
QProcessEnvironment freshEnvironment(const QString &home, const QString &language = {})
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    if (!language.isEmpty()) {
        env.remove(QStringLiteral("LC_ALL"));
        env.remove(QStringLiteral("LC_MESSAGES"));
        env.insert(QStringLiteral("LANGUAGE"), language);
        env.insert(QStringLiteral("LANG"), language == QLatin1String("es") ? QStringLiteral("es_ES.UTF-8")
                                                                           : QStringLiteral("C.UTF-8"));
    }
    env.insert(QStringLiteral("HOME"), home);
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), home + QStringLiteral("/.config"));
    env.insert(QStringLiteral("XDG_CACHE_HOME"), home + QStringLiteral("/.cache"));
    env.remove(QStringLiteral("QT_QPA_PLATFORM"));
    return env;
}

struct Start
{
    double windowMs = 0;
    double peakMiB = 0;
};

// From exec to the first window mapped, then the peak memory once it is up.
std::optional<Start> startOnce(MapWatcher &x, const QString &program, const QStringList &args,
                               const QString &home, const QString &language)
{
    QProcess process;
    process.setProcessEnvironment(freshEnvironment(home, language));
    process.setStandardOutputFile(QProcess::nullDevice());
    process.setStandardErrorFile(QProcess::nullDevice());
    x.drain();
    const Clock::time_point launched = Clock::now();
    process.start(program, args);
    if (!process.waitForStarted(10000))
        return std::nullopt;
    const auto mapped = x.next(process.processId(), launched + 30s);
    std::optional<Start> result;
    if (mapped) {
        // Let it paint and settle before reading the high-water mark.
        std::this_thread::sleep_for(1s);
        result = Start{msBetween(launched, mapped->at), peakResidentKb(process.processId()) / 1024.0};
    }
    stop(process);
    return result;
}

// A board-emulator process: its device and its traffic log.
class Board
{
public:
    explicit Board(const QString &program)
    {
        // Its log is read for English words, whatever the desktop speaks.
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("LANGUAGE"), QStringLiteral("en"));
        m_process.setProcessEnvironment(env);
        m_process.start(program, {});
        while (m_device.isEmpty() && m_process.waitForReadyRead(10000)) {
            m_log += m_process.readAll();
            const qsizetype at = m_log.indexOf("Board ready on ");
            const qsizetype end = m_log.indexOf('\n', at);
            if (at >= 0 && end > at)
                m_device = QString::fromLocal8Bit(m_log.mid(at + 15, end - at - 15));
        }
        m_log.clear();
    }
    ~Board() { stop(m_process); }

    QString device() const { return m_device; }
    QString log() const { return QString::fromLocal8Bit(m_log); }

    // The four commands of a port pick answered, and the panel's last wait over.
    bool sequenceRan()
    {
        const Clock::time_point limit = Clock::now() + 10s;
        // One line per answer: "     0.123 board-emulator.line: -> \"OK0101\"".
        while (m_log.count("board-emulator.line: -> ") < 4 && Clock::now() < limit) {
            if (m_process.waitForReadyRead(500))
                m_log += m_process.readAll();
        }
        if (m_log.count("board-emulator.line: -> ") < 4
            || !m_log.contains("board-emulator.line: <- \"I1\""))
            return false;
        // The last wait ends a pass after its reply; then the boxes repaint.
        std::this_thread::sleep_for(1s);
        return true;
    }

    // The board hangs up its side of the line and ends; not waited for, so
    // nothing else runs here meanwhile.
    void hangUp() { m_process.terminate(); }

private:
    QProcess m_process;
    QString m_device;
    QByteArray m_log;
};

// What the panel spent after a board went away.
struct HangUp
{
    double totalMs = 0, firstMs = 0, ticksMs = 0;
    std::optional<double> reportedAfterMs;   // its message box mapped

    QString figure() const
    {
        return QStringLiteral("%1 ms; %2 ms (%3)")
            .arg(number(totalMs), number(ticksMs, 0),
                 reportedAfterMs ? QStringLiteral("box mapped after %1 ms").arg(number(*reportedAfterMs, 0))
                                 : QStringLiteral("no new window"));
    }
    QString split() const
    {
        return QStringLiteral("%1 ms; %2 ms").arg(number(firstMs), number(totalMs - firstMs));
    }
};

HangUp hangUp(MapWatcher &x, qint64 pid, Board &board)
{
    x.drain();
    const Usage from = usageOf(pid);
    const Clock::time_point hungUp = Clock::now();
    board.hangUp();
    HangUp result;
    // Watching for the panel's report of the loss is part of the wait.
    if (const auto box = x.next(pid, hungUp + 250ms))
        result.reportedAfterMs = msBetween(hungUp, box->at);
    std::this_thread::sleep_until(hungUp + 250ms);
    result.firstMs = usageOf(pid).runMs - from.runMs;
    std::this_thread::sleep_until(hungUp + 2s);
    const Usage to = usageOf(pid);
    result.totalMs = to.runMs - from.runMs;
    result.ticksMs = to.cpuMs - from.cpuMs;
    return result;
}

void runXdotool(const QStringList &args)
{
    QProcess::execute(QStringLiteral("xdotool"), args);
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    const QCommandLineOption panelOption(QStringLiteral("panel"), QStringLiteral("programador"), QStringLiteral("path"));
    const QCommandLineOption emulatorOption(QStringLiteral("emulator"), QStringLiteral("board-emulator"), QStringLiteral("path"));
    const QCommandLineOption cutecomOption(QStringLiteral("cutecom"), QStringLiteral("cutecom"), QStringLiteral("path"));
    const QCommandLineOption startsOption(QStringLiteral("starts"), QStringLiteral("starts of each program"),
                                          QStringLiteral("n"), QStringLiteral("7"));
    parser.addOptions({panelOption, emulatorOption, cutecomOption, startsOption});
    parser.process(app);
    const QString panel = parser.value(panelOption);
    const QString emulator = parser.value(emulatorOption);
    const QString cutecom = parser.value(cutecomOption);
    const int starts = parser.value(startsOption).toInt();

    MapWatcher x;
    if (panel.isEmpty() || emulator.isEmpty() || !x.ok()) {
        note(QStringLiteral("bench_desktop: needs --panel, --emulator and an X display"));
        return 1;
    }
    QTemporaryDir home;

    // --- 4. Start-up and footprint, the two programs taking turns ----------
    // The panel in English and with its Spanish translations (its own and
    // Qt's) loaded: what a translation costs at start.
    struct Contender
    {
        QString name, program, language;
        std::vector<double> times, peaks;
    };
    std::vector<Contender> contenders{{QStringLiteral("programador"), panel, QStringLiteral("en"), {}, {}},
                                      {QStringLiteral("programador in Spanish"), panel, QStringLiteral("es"), {}, {}}};
    if (!cutecom.isEmpty())
        contenders.push_back({QStringLiteral("cutecom"), cutecom, {}, {}, {}});
    for (int i = 0; i <= starts; ++i) {
        for (Contender &c : contenders) {
            const auto start = startOnce(x, c.program, {}, home.path(), c.language);
            if (!start) {
                note(QStringLiteral("bench_desktop: %1 showed no window").arg(c.name));
                return 1;
            }
            if (i == 0)
                continue;   // the first start only warms the caches
            c.times.push_back(start->windowMs);
            c.peaks.push_back(start->peakMiB);
        }
    }
    std::vector<Summary> times, peaks;
    for (const Contender &c : contenders) {
        times.push_back(summarize(c.times));
        peaks.push_back(summarize(c.peaks));
        row(QStringLiteral("4"), QStringLiteral("Start-up to window mapped: %1 (%2 starts)").arg(c.name).arg(starts),
            describe(times.back(), "ms", 1));
        row(QStringLiteral("4"), QStringLiteral("Peak resident memory (VmHWM): %1").arg(c.name),
            describe(peaks.back(), "MiB", 1));
    }
    if (contenders.size() == 3) {
        const double timeRatio = times[0].median / times[2].median;
        const double memoryRatio = peaks[0].median / peaks[2].median;
        row(QStringLiteral("4"), QStringLiteral("Start-up, programador / cutecom (medians)"),
            QStringLiteral("x%1").arg(number(timeRatio)), QStringLiteral("<= x0.50"), atMost(timeRatio, 0.5, "", 2));
        row(QStringLiteral("4"), QStringLiteral("Peak memory, programador / cutecom (medians)"),
            QStringLiteral("x%1").arg(number(memoryRatio)), QStringLiteral("<= x0.50"), atMost(memoryRatio, 0.5, "", 2));
    }

    // --- 3. Idle with the port open, then 6. the board going away ----------
    // Two boards, behind Com1 and Com2: the first loss is the first time the
    // panel shows a message box, the second one reuses that box.
    Board board1(emulator), board2(emulator);
    if (board1.device().isEmpty() || board2.device().isEmpty()) {
        note(QStringLiteral("bench_desktop: the board emulator did not start"));
        return 1;
    }
    QProcess programador;
    programador.setProcessEnvironment(freshEnvironment(home.path()));
    programador.setStandardOutputFile(QProcess::nullDevice());
    programador.setStandardErrorFile(QProcess::nullDevice());
    x.drain();
    programador.start(panel, {QStringLiteral("--com1"), board1.device(), QStringLiteral("--com2"), board2.device()});
    const auto window = programador.waitForStarted(10000) ? x.next(programador.processId(), Clock::now() + 30s)
                                                          : std::nullopt;
    if (!window) {
        note(QStringLiteral("bench_desktop: programador showed no window"));
        return 1;
    }
    const qint64 pid = programador.processId();
    const QString wid = QString::number(window->window);
    std::this_thread::sleep_for(500ms);

    // As a person: focus the window, go back from Salir to the port list, Down picks Com1.
    runXdotool({QStringLiteral("windowfocus"), QStringLiteral("--sync"), wid});
    runXdotool({QStringLiteral("key"), QStringLiteral("--window"), wid, QStringLiteral("shift+Tab")});
    runXdotool({QStringLiteral("key"), QStringLiteral("--window"), wid, QStringLiteral("Down")});
    if (!board1.sequenceRan()) {
        note(QStringLiteral("bench_desktop: the port sequence did not run; the board saw:\n%1").arg(board1.log()));
        return 1;
    }

    constexpr auto IdleTime = 10s;
    const Usage idleFrom = usageOf(pid);
    std::this_thread::sleep_for(IdleTime);
    const Usage idleTo = usageOf(pid);
    const double idleSeconds = std::chrono::duration<double>(IdleTime).count();
    const double wakeups = double(idleTo.switches - idleFrom.switches) / idleSeconds;
    note(QStringLiteral("bench_desktop: programador's threads (context switches so far):\n  ")
         + idleTo.perThread.join(QStringLiteral("\n  ")));
    row(QStringLiteral("3"), QStringLiteral("Idle, port open, %1 s: wake-ups (context switches)").arg(idleSeconds),
        QStringLiteral("%1 /s").arg(number(wakeups)), QStringLiteral("< 1 /s"), under(wakeups, 1.0, "/s"));
    row(QStringLiteral("3"), QStringLiteral("Idle, port open, %1 s: CPU (schedstat; stat ticks)").arg(idleSeconds),
        QStringLiteral("%1 ms; %2 ms").arg(number(idleTo.runMs - idleFrom.runMs, 3), number(idleTo.cpuMs - idleFrom.cpuMs, 0)));

    const HangUp first = hangUp(x, pid, board1);
    row(QStringLiteral("6"), QStringLiteral("Board hangs up: panel CPU in the next 2 s (schedstat; stat ticks)"),
        first.figure(), QStringLiteral("< 10 ms"), under(first.totalMs, 10.0));
    row(QStringLiteral("6"), QStringLiteral("  in the first 0.25 s; in the 1.75 s after"), first.split());

    // Back to the window (the message box took the focus); the loss left the
    // port list with nothing picked, so End picks Com2, its last entry.
    runXdotool({QStringLiteral("windowfocus"), QStringLiteral("--sync"), wid});
    runXdotool({QStringLiteral("key"), QStringLiteral("--window"), wid, QStringLiteral("End")});
    if (board2.sequenceRan()) {
        const HangUp second = hangUp(x, pid, board2);
        row(QStringLiteral("6"), QStringLiteral("  again, message box already made (Com2's board hangs up)"),
            second.figure(), QStringLiteral("< 10 ms"), under(second.totalMs, 10.0));
        row(QStringLiteral("6"), QStringLiteral("  in the first 0.25 s; in the 1.75 s after"), second.split());
    } else {
        note(QStringLiteral("bench_desktop: picking Com2 did not run a sequence; its board saw:\n%1").arg(board2.log()));
    }

    stop(programador);
    return 0;
}
