#pragma once

#include <QString>

#include <functional>

// The line trace, on as with --trace, each event ("write ...", "read 2 ...")
// handed to `seen` the moment it is traced, on the tracing thread. The
// benchmarks time the exchange by what a user of --trace sees.
class LineTap
{
public:
    using Seen = std::function<void(const QString &event)>;

    explicit LineTap(Seen seen);
    ~LineTap();
    LineTap(const LineTap &) = delete;
    LineTap &operator=(const LineTap &) = delete;
};
