#include "line_writer.h"

#include <QMetaObject>
#include <QString>

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>
#include <utility>
#include <vector>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <poll.h>
#include <unistd.h>
#endif
#ifdef Q_OS_WIN
#include "windows_console.h"
#include <io.h>
#endif

namespace {

// Lines written with one call, up to this much: a reader that keeps up costs
// one system call per batch, not per line.
constexpr qsizetype BatchBytes = 64 * 1024;
// How long the thread lets lines gather once woken: a trace's lines come in
// bursts (an exchange's events, a flood's reads) and nobody reads them to
// the millisecond.
constexpr std::chrono::microseconds GatherTime{500};

} // namespace

struct LineWriter::Shared : std::enable_shared_from_this<LineWriter::Shared>
{
    int fd = -1;
    qsizetype capacity = 0;
#ifdef Q_OS_WIN
    bool console = false;
#endif

    std::mutex mutex;
    std::condition_variable work;       // for the thread: lines, a notice or the end
    std::condition_variable progress;   // for drain(): a batch done
    std::deque<QByteArray> queue;
    qsizetype inFlight = 0;        // lines taken from the queue, being written
    qsizetype queuedBytes = 0;     // of the queue and those in flight
    qint64 unsaid = 0;             // dropped since the queue last drained; while > 0 all are
    QByteArray lineName = "trace line";
    QByteArray status;             // the status line asked for
    QByteArray shown;              // the status line standing on the terminal
    bool started = false;
    bool idle = false;             // the thread waits for work
    bool stopping = false;
    LineWriter *owner = nullptr;   // told of a gone reader; null once it is gone itself

    std::atomic<qint64> dropped = 0;
    std::atomic<bool> gone = false;

    bool done() const { return queue.empty() && inFlight == 0 && unsaid == 0 && status == shown; }
    bool writeAll(const QByteArray &bytes) const;
    void run();
    // There is work: the thread is started, or woken if it waits.
    void wake(std::unique_lock<std::mutex> lock);
};

void LineWriter::Shared::wake(std::unique_lock<std::mutex> lock)
{
    if (!started) {
        started = true;
        std::thread([shared = shared_from_this()] { shared->run(); }).detach();
    }
    const bool waiting = idle;
    lock.unlock();
    if (waiting)
        work.notify_one();
}

bool LineWriter::Shared::writeAll(const QByteArray &bytes) const
{
#ifdef Q_OS_WIN
    if (console)
        return WindowsConsole::write(fd, QString::fromLocal8Bit(bytes));
    // Through the C runtime, which ends lines as the stream would ("\r\n").
    for (qsizetype at = 0; at < bytes.size();) {
        const int n = _write(fd, bytes.constData() + at,
                             unsigned(std::min<qsizetype>(bytes.size() - at, 1 << 30)));
        if (n <= 0)
            return false;   // ERROR_BROKEN_PIPE, ERROR_NO_DATA or worse: nobody to write to
        at += n;
    }
    return true;
#else
    for (qsizetype at = 0; at < bytes.size();) {
        const ssize_t n = ::write(fd, bytes.constData() + at, size_t(bytes.size() - at));
        if (n > 0) {
            at += n;
        } else if (n < 0 && errno == EINTR) {
            continue;
        } else if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            // Someone made the descriptor non-blocking: wait for room here.
            pollfd ready{fd, POLLOUT, 0};
            ::poll(&ready, 1, 100);
        } else {
            return false;   // EPIPE (SIGPIPE is ignored), EIO, ...
        }
    }
    return true;
#endif
}

void LineWriter::Shared::run()
{
    std::unique_lock lock(mutex);
    for (;;) {
        if (queue.empty() && unsaid == 0 && status == shown && !stopping) {
            idle = true;
            work.wait(lock, [this] {
                return stopping || !queue.empty() || unsaid > 0 || status != shown;
            });
            idle = false;
            // Woken by one line: the ones right behind it join its batch, so
            // a burst costs the caller one wake-up, not one a line.
            lock.unlock();
            std::this_thread::sleep_for(GatherTime);
            lock.lock();
        }
        if (stopping)
            return;
        std::vector<QByteArray> lines;
        qsizetype bytes = 0;
        if (!queue.empty()) {
            // The lines queued before any were dropped go first.
            while (!queue.empty() && (lines.empty() || bytes + queue.front().size() < BatchBytes)) {
                bytes += queue.front().size() + 1;
                lines.push_back(std::move(queue.front()));
                queue.pop_front();
            }
            inFlight = qsizetype(lines.size());
        } else if (unsaid > 0) {
            // Drained: the count, then lines are taken again.
            const qint64 count = std::exchange(unsaid, 0);
            lines.push_back(QByteArray::number(count) + ' ' + lineName + (count == 1 ? "" : "s")
                            + " dropped: the reader was too slow");
        }
        const QByteArray status = this->status;
        const QByteArray wasShown = shown;
        lock.unlock();
        QByteArray batch;
        batch.reserve(bytes + status.size() + wasShown.size() + 2);
        // The lines go where the status line stood, which comes back below them.
        const bool redraw = !lines.empty() || status != wasShown;
        if (redraw && !wasShown.isEmpty())
            batch += '\r' + QByteArray(QString::fromLocal8Bit(wasShown).size(), ' ') + '\r';
        for (const QByteArray &line : lines)
            batch += line + '\n';
        if (redraw)
            batch += status;
        const bool written = writeAll(batch);
        lock.lock();
        if (written)
            shown = status;
        queuedBytes -= inFlight > 0 ? bytes : 0;
        inFlight = 0;
        if (!written) {
            gone = true;
            queue.clear();
            queuedBytes = 0;
            unsaid = 0;
            if (owner) {
                LineWriter *const writer = owner;
                QMetaObject::invokeMethod(writer, [writer] { emit writer->readerLeft(); },
                                          Qt::QueuedConnection);
            }
            progress.notify_all();
            return;
        }
        progress.notify_all();
    }
}

LineWriter::LineWriter(int fd, qsizetype capacity, QObject *parent)
    : QObject(parent), d(std::make_shared<Shared>())
{
    d->fd = fd;
    d->capacity = std::max<qsizetype>(capacity, 1);
    d->owner = this;
#ifdef Q_OS_WIN
    d->console = WindowsConsole::isConsole(fd);
#endif
}

LineWriter::~LineWriter()
{
    // The thread is not waited for: inside a write the reader may never
    // take, it finishes on its own, holding its share of the state.
    {
        const std::lock_guard lock(d->mutex);
        d->stopping = true;
        d->owner = nullptr;
        d->queue.clear();
    }
    d->work.notify_all();
}

void LineWriter::writeLine(const QByteArray &line)
{
    std::unique_lock lock(d->mutex);
    if (d->gone || d->stopping)
        return;
    const qsizetype waiting = qsizetype(d->queue.size()) + d->inFlight;
    const bool full = waiting >= d->capacity
        || (waiting > 0 && d->queuedBytes + line.size() + 1 > MaxQueuedBytes);
    if (d->unsaid > 0 || full) {
        ++d->unsaid;
        ++d->dropped;
        return;
    }
    d->queue.push_back(line);
    d->queuedBytes += line.size() + 1;
    d->wake(std::move(lock));
}

void LineWriter::setStatusLine(const QByteArray &status)
{
    std::unique_lock lock(d->mutex);
    if (d->gone || d->stopping || d->status == status)
        return;
    d->status = status;
    d->wake(std::move(lock));
}

void LineWriter::setLineName(const QByteArray &name)
{
    const std::lock_guard lock(d->mutex);
    d->lineName = name;
}

bool LineWriter::hasReaderLeft() const
{
    return d->gone;
}

qint64 LineWriter::dropped() const
{
    return d->dropped;
}

bool LineWriter::drain(std::chrono::milliseconds timeout)
{
    std::unique_lock lock(d->mutex);
    d->progress.wait_for(lock, timeout, [this] { return d->gone || d->done(); });
    return !d->gone && d->done();
}

void LineWriter::stopTelling()
{
    const std::lock_guard lock(d->mutex);
    d->owner = nullptr;
}
