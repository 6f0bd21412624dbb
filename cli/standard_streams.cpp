#include "standard_streams.h"

#include <atomic>
#include <cstdio>

namespace StandardStreams {

namespace {

std::atomic<LineWriter *> s_made[2] = {nullptr, nullptr};

LineWriter *make(int which, FILE *stream, const QByteArray &lineName)
{
#ifdef Q_OS_WIN
    // A GUI program's standard error may have been reopened on the console.
    auto *writer = new LineWriter(_fileno(stream));
#else
    auto *writer = new LineWriter(fileno(stream));
#endif
    writer->setLineName(lineName);
    s_made[which] = writer;
    return writer;
}

} // namespace

LineWriter &output()
{
    static LineWriter *const writer = make(0, stdout, "line");
    return *writer;
}

LineWriter &error()
{
    static LineWriter *const writer = make(1, stderr, "trace line");
    return *writer;
}

void drain(std::chrono::milliseconds timeout)
{
    for (const auto &made : s_made) {
        if (LineWriter *writer = made.load())
            writer->drain(timeout);
    }
}

void finish()
{
    drain(std::chrono::seconds(1));
    for (const auto &made : s_made) {
        if (LineWriter *writer = made.load())
            writer->stopTelling();
    }
}

} // namespace StandardStreams
