#include "board_emulator.h"

#include "command_parser.h"

#include <QPointer>
#include <QTimer>

#include <algorithm>
#include <deque>
#include <map>
#include <optional>
#include <utility>

#ifdef Q_OS_UNIX
#include "pty_line.h"
#endif

using namespace std::chrono_literals;

namespace {

using Clock = BoardEmulator::Clock;

constexpr Clock::time_point kNever = Clock::time_point::max();
// A run of garbage is answered once the line has been quiet this long.
constexpr auto kGarbageQuiet = 50ms;
// A command still unfinished this long after its first byte is given up.
constexpr auto kUnfinished = 500ms;

} // namespace

struct BoardEmulator::Private
{
    BoardEmulator *q;

    bool running = false;
#ifdef Q_OS_UNIX
    PtyLine *pty = nullptr;   // none: the board runs in-process
#endif
    // Bumped whenever the line opens or closes, so work started for an old
    // line stops if a slot hung up (or restarted) under our feet.
    quint64 session = 0;
    QString path;
    QString error;
    // Fires when the next thing is due: a byte in or out, an answer, a parser timeout.
    QTimer wakeTimer;

    bool paced = true;
    int replyDelay = 20;
    bool silent = false;
    QList<ReplyPiece> script;

    // What the replies show: minute, bit and mode, as at power-on; and the
    // program, which the commands that program and erase change but no
    // reply shows.
    struct State
    {
        int minute = 1;
        int bit = 0;
        int mode = 0;
        Cells cells{};
        bool started = false;
    } board;

    // Splits the stream into commands; holds at most CommandParser::MaxKept bytes.
    CommandParser parser;
    // When the parser's junk run or unfinished command (never both) has had its time.
    Clock::time_point parserDue;
    QByteArray received;
    QList<Command> commands;

    // From the panel: bytes read but still on the line, each with the time its
    // stop bit arrives.
    std::deque<std::pair<Clock::time_point, char>> incoming;
    Clock::time_point lastArrival;

    // To the panel: answers and pieces waiting for their time; equal times keep order.
    std::multimap<Clock::time_point, QByteArray> scheduled;
    Clock::time_point lastReplyDue;
    // Texts going out on the line, in order: `lineDone` bytes of the first
    // are out and its next byte is complete at lineNext. It drains at the
    // line's pace whether the panel reads or not: what the panel leaves
    // unread is held, up to a bound, by the pseudo-terminal.
    std::deque<QByteArray> line;
    qsizetype lineDone = 0;
    Clock::time_point lineNext;
    Clock::time_point lineFree;   // when the line's last byte was complete
    // Texts whose last byte has left, not yet told through sent().
    QList<QByteArray> left;
    // In-process: bytes on their way to the panel, each with its time on the line.
    QList<std::pair<QByteArray, Clock::time_point>> delivered;

    void powerOn();
    void closeLine();
    // Whether, when called, this board still runs the same line: a slot may
    // have deleted it, hung up or started again.
    auto stillHere()
    {
        return [alive = QPointer<BoardEmulator>(q), mine = session, this] {
            return alive && session == mine;
        };
    }

    void take(const QByteArray &bytes);
    void tick();
    void arm();
    Clock::time_point parserDeadline() const;

    bool apply(const CommandParser::Command &parsed, Clock::time_point at);
    QByteArray reply(bool ok) const;
    void answer(Clock::time_point at, const QByteArray &normal);

    void transmit(Clock::time_point at, const QByteArray &bytes);
    void flushLine(Clock::time_point until);
    bool tellLeft();
    void write(const QByteArray &bytes, Clock::time_point at);
};

// A new board at power-on, on a fresh line.
void BoardEmulator::Private::powerOn()
{
    board = {};
    received.clear();
    commands.clear();
    lastArrival = lastReplyDue = lineFree = {};
    ++session;
    running = true;
    error.clear();
}

void BoardEmulator::Private::closeLine()
{
    ++session;
    running = false;
    wakeTimer.stop();
    parser = {};
    incoming.clear();
    scheduled.clear();
    line.clear();
    lineDone = 0;
    left.clear();
    delivered.clear();
#ifdef Q_OS_UNIX
    if (pty) {
        // We may be inside its activation: closed now, deleted later.
        pty->close();
        pty->deleteLater();
        pty = nullptr;
    }
#endif
}

// Bytes the panel wrote just now.
void BoardEmulator::Private::take(const QByteArray &bytes)
{
    const Clock::time_point now = Clock::now();
    for (const char c : bytes) {
        // Back to back while the line is busy, else one byte time from now.
        lastArrival = paced ? std::max(lastArrival, now) + ByteTime : now;
        incoming.emplace_back(lastArrival, c);
    }
    tick();
}

// Does everything that is due by now, in time order, then waits for the next.
void BoardEmulator::Private::tick()
{
    const Clock::time_point now = Clock::now();

    // From the panel: bytes as they arrive, with the parser's timeouts in between.
    for (;;) {
        const Clock::time_point byteAt = incoming.empty() ? kNever : incoming.front().first;
        const Clock::time_point timeoutAt = parserDeadline();
        const Clock::time_point at = std::min(byteAt, timeoutAt);
        if (at > now)
            break;
        std::optional<CommandParser::Command> ended;
        if (timeoutAt < byteAt) {
            ended = parser.endInProgress();
        } else {
            const char c = incoming.front().second;
            incoming.pop_front();
            received.append(c);
            ended = parser.feed(c);
            // Junk waits for a quiet line; a command counts from its 'I'.
            if (parser.hasJunk())
                parserDue = at + kGarbageQuiet;
            else if (parser.heldBytes() == 1)
                parserDue = at + kUnfinished;
        }
        if (ended && !apply(*ended, at))
            return;
    }

    // To the panel.
    while (!scheduled.empty() && scheduled.begin()->first <= now) {
        const auto node = scheduled.extract(scheduled.begin());
        transmit(node.key(), node.mapped());
    }
    flushLine(now);
    if (tellLeft())
        arm();
}

// Hands over and tells what has left the line; false when a slot hung up (or
// restarted) the board.
bool BoardEmulator::Private::tellLeft()
{
    const auto here = stillHere();
    for (const auto &[bytes, at] : std::exchange(delivered, {})) {
        emit q->lineOutput(bytes, at);
        if (!here())
            return false;
    }
    for (const QByteArray &bytes : std::exchange(left, {})) {
        emit q->sent(bytes);
        if (!here())
            return false;
    }
    return true;
}

void BoardEmulator::Private::arm()
{
    Clock::time_point next = parserDeadline();
    if (!incoming.empty())
        next = std::min(next, incoming.front().first);
    if (!scheduled.empty())
        next = std::min(next, scheduled.begin()->first);
    if (!line.empty())
        next = std::min(next, lineNext);
    if (next == kNever) {
        wakeTimer.stop();
        return;
    }
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(next - Clock::now());
    wakeTimer.start(int(std::max<qint64>(0, left.count())));
}

Clock::time_point BoardEmulator::Private::parserDeadline() const
{
    return parser.heldBytes() > 0 ? parserDue : kNever;
}

// Carries out a parsed command (or answers junk) and answers it. Returns false
// when the emulator went away (or changed line) while a slot ran.
bool BoardEmulator::Private::apply(const CommandParser::Command &parsed, Clock::time_point at)
{
    const char code = parsed.code;
    bool valid = parsed.wellFormed;
    // Minutes 1 to 10, bits 0 to 7, modes 0 and 1; the other commands only ask for a reply.
    if (valid && (code == '2' || code == '3' || code == '7')) {
        const int low = code == '2' ? 1 : 0;
        const int high = code == '2' ? 10 : code == '3' ? 7 : 1;
        valid = parsed.value >= low && parsed.value <= high;
        if (valid)
            (code == '2' ? board.minute : code == '3' ? board.bit : board.mode) = parsed.value;
    }
    if (valid) {
        // Minute and bit are always in range: out-of-range values never stick.
        quint8 &minute = board.cells[std::size_t(board.minute - 1)];
        const quint8 cell = quint8(1u << board.bit);
        if (code == '4')
            minute |= cell;
        else if (code == '5')
            minute = 0;
        else if (code == '6')
            minute &= quint8(~cell);
        board.started = code == '8';
    }

    const Command command{parsed.text, valid, at};
    commands.append(command);
    answer(at, reply(valid));

    const auto here = stillHere();
    emit q->commandParsed(command);
    return here();
}

QByteArray BoardEmulator::Private::reply(bool ok) const
{
    return QString::asprintf("%s%02d%d%d", ok ? "OK" : "ER", board.minute, board.bit, board.mode)
        .toLatin1();
}

void BoardEmulator::Private::answer(Clock::time_point at, const QByteArray &normal)
{
    if (silent)
        return;
    if (!script.isEmpty()) {
        // Each piece is handed to the line at its own delay: tests use them to
        // cut and stretch an answer on purpose.
        for (auto [delayMs, text] : std::as_const(script)) {
            text.replace("{reply}", normal);
            if (!text.isEmpty())
                scheduled.emplace(at + std::chrono::milliseconds(std::max(0, delayMs)), text);
        }
    } else {
        // Never let a shorter delay overtake an earlier command's answer.
        const Clock::time_point due = std::max(at + std::chrono::milliseconds(replyDelay), lastReplyDue);
        lastReplyDue = due;
        scheduled.emplace(due, normal);
    }
}

// Hands bytes due at `at` to the line: paced, each byte is written one byte
// time after the previous byte on the line, or after `at` if it was idle.
void BoardEmulator::Private::transmit(Clock::time_point at, const QByteArray &bytes)
{
    if (!paced) {
        write(bytes, at);
        left.append(bytes);
        return;
    }
    flushLine(at);
    if (line.empty())
        lineNext = std::max(at, lineFree) + ByteTime;
    line.push_back(bytes);
}

// Writes the bytes on the line that are complete by `until`.
void BoardEmulator::Private::flushLine(Clock::time_point until)
{
    while (!line.empty() && lineNext <= until) {
        const QByteArray &text = line.front();
        const qsizetype due =
            std::min<qsizetype>(text.size() - lineDone, (until - lineNext) / ByteTime + 1);
        lineFree = lineNext + (due - 1) * ByteTime;
        write(text.sliced(lineDone, due), lineFree);
        lineDone += due;
        lineNext = lineFree + ByteTime;
        if (lineDone == text.size()) {
            left.append(text);
            line.pop_front();
            lineDone = 0;
        }
    }
}

void BoardEmulator::Private::write(const QByteArray &bytes, Clock::time_point at)
{
#ifdef Q_OS_UNIX
    if (pty) {
        pty->write(bytes);
        return;
    }
#endif
    if (running)
        delivered.append({bytes, at});
}

// ---------------------------------------------------------------------------

BoardEmulator::BoardEmulator(QObject *parent)
    : QObject(parent)
    , d(std::make_unique<Private>(this))
{
    d->wakeTimer.setSingleShot(true);
    d->wakeTimer.setTimerType(Qt::PreciseTimer);
    connect(&d->wakeTimer, &QTimer::timeout, this, [this] { d->tick(); });
}

BoardEmulator::~BoardEmulator()
{
    d->closeLine();
}

bool BoardEmulator::start()
{
    if (isRunning())
        return true;
#ifdef Q_OS_UNIX
    auto *line = new PtyLine(this);
    if (!line->open()) {
        d->error = line->errorString();
        delete line;
        return false;
    }
    d->powerOn();
    d->pty = line;
    d->path = line->devicePath();
    connect(line, &PtyLine::received, this, [this](const QByteArray &bytes) { d->take(bytes); });
    return true;
#else
    d->error = QStringLiteral("this system has no pseudo-terminals");
    return false;
#endif
}

bool BoardEmulator::startInProcess()
{
    if (isRunning())
        return true;
    d->powerOn();
    d->path.clear();
    return true;
}

void BoardEmulator::take(const QByteArray &bytes)
{
    // Only in-process, where there is no device: a pseudo-terminal brings its own.
    if (isRunning() && d->path.isEmpty())
        d->take(bytes);
}

bool BoardEmulator::isRunning() const { return d->running; }
QString BoardEmulator::devicePath() const { return d->path; }
QString BoardEmulator::errorString() const { return d->error; }
QString BoardEmulator::lineSettings() const
{
#ifdef Q_OS_UNIX
    if (d->pty)
        return d->pty->settings();
#endif
    return {};
}

void BoardEmulator::hangUp()
{
    d->closeLine();
}

void BoardEmulator::setLinePaced(bool paced) { d->paced = paced; }
void BoardEmulator::setReplyDelay(int ms) { d->replyDelay = std::max(0, ms); }
void BoardEmulator::setSilent(bool silent) { d->silent = silent; }
void BoardEmulator::setReplyScript(const QList<ReplyPiece> &pieces) { d->script = pieces; }

void BoardEmulator::sendUnasked(const QByteArray &bytes)
{
    if (!isRunning() || bytes.isEmpty())
        return;
    d->transmit(Clock::now(), bytes);
    d->tick();
}

QByteArray BoardEmulator::normalReply() const { return d->reply(true); }
int BoardEmulator::mode() const { return d->board.mode; }
BoardEmulator::Cells BoardEmulator::cells() const { return d->board.cells; }
void BoardEmulator::setCells(const Cells &cells) { d->board.cells = cells; }
bool BoardEmulator::isStarted() const { return d->board.started; }
QByteArray BoardEmulator::received() const { return d->received; }
QList<BoardEmulator::Command> BoardEmulator::commands() const { return d->commands; }

void BoardEmulator::clearLog()
{
    d->received.clear();
    d->commands.clear();
}
