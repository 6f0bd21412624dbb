#pragma once

#include <QByteArray>
#include <QObject>

#include <chrono>
#include <memory>

// Whole lines to a file descriptor (standard output or error, a pipe, a
// file) from a thread of its own, so that a reader that is slow or has gone
// never holds up the caller, the event thread least of all.
//
// A slow reader: lines wait in a bounded queue; beyond it they are dropped
// and counted, and once the queue has drained the writer says how many
// ("N trace lines dropped: the reader was too slow") before the next line.
// A reader that has gone (a write fails: a closed pipe, a closed console):
// the writer stops for good, readerLeft() tells it once, and later lines are
// discarded silently. Lines keep their order and are never cut or mixed.
class LineWriter : public QObject
{
    Q_OBJECT

public:
    // At most this many bytes wait as well, however few the lines: the trace
    // of a flooding board has lines of a kilobyte.
    static constexpr qsizetype MaxQueuedBytes = 1024 * 1024;

    explicit LineWriter(int fd, qsizetype capacity = 4096, QObject *parent = nullptr);
    // Does not wait: what is still queued is dropped.
    ~LineWriter() override;

    // One line without its '\n'. Any thread; never blocks for the reader.
    void writeLine(const QByteArray &line);
    // A line kept below the others, for a terminal's progress line: each line
    // written goes above it and it is rewritten in place, never cut into;
    // empty takes it away. Only the latest counts. Any thread; never blocks.
    void setStatusLine(const QByteArray &status);
    // The singular of what the drop notice counts (default "trace line"):
    // "N <name>s dropped: the reader was too slow".
    void setLineName(const QByteArray &name);

    bool hasReaderLeft() const;
    // Lines dropped for want of room, in all.
    qint64 dropped() const;
    // Waits at most timeout for the queued lines, and the status line as it
    // stands, to be written; true if all got out. For the program's end, after its event loop.
    bool drain(std::chrono::milliseconds timeout);

    // From now on a reader that goes away goes untold: for the program's
    // end, once Qt is being taken down.
    void stopTelling();

signals:
    // The first failed write; queued to the thread this object lives in.
    void readerLeft();

private:
    struct Shared;
    std::shared_ptr<Shared> d;
};
