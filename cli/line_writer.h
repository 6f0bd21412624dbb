#pragma once

#include <QByteArray>
#include <QObject>

#include <chrono>
#include <cstdio>
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
    // The singular of what the drop notice counts (default "trace line"):
    // "N <name>s dropped: the reader was too slow".
    void setLineName(const QByteArray &name);

    bool hasReaderLeft() const;
    // Lines dropped for want of room, in all.
    qint64 dropped() const;
    // Waits at most timeout for the queued lines to be written; true if all
    // got out. For the program's end, after its event loop.
    bool drain(std::chrono::milliseconds timeout);

    // The process's standard output and error, made on first use and never
    // destroyed; what they still hold is drained (for a second at most) as
    // the program ends. Standard output's notice counts "lines".
    static LineWriter &standardOutput();
    static LineWriter &standardError();
    // Drains those of the two that exist; for ends that skip exit().
    static void drainStandardWriters(std::chrono::milliseconds timeout);

    // Qt's messages, the line trace among them, formatted by the message
    // pattern, go to `writer` from now on; a fatal one is written before the
    // program aborts. Gives the handler that was installed before.
    static QtMessageHandler routeQtMessages(LineWriter &writer = standardError());
    // Beside routeQtMessages(): the messages of one category go to `writer`
    // instead (none: no longer), e.g. a program's log to standard output and
    // its warnings to standard error. One category at a time, set before its
    // messages; the name is kept, not copied, as QLoggingCategory keeps it.
    static void routeCategory(const char *category, LineWriter *writer);

signals:
    // The first failed write; queued to the thread this object lives in.
    void readerLeft();

private:
    static LineWriter *makeStandard(int which, FILE *stream, const QByteArray &lineName);
    static void endOfProgram();

    struct Shared;
    std::shared_ptr<Shared> d;
};
