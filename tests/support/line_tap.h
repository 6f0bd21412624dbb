#pragma once

#include <QString>

#include <functional>

// The line trace, on as with --trace, each event ("write ...", "read 2 ...")
// handed to `seen` the moment it is traced, on the tracing thread. Tests and
// benchmarks time the exchange by what a user of --trace sees.
class LineTap
{
public:
    using Seen = std::function<void(const QString &event)>;

    explicit LineTap(Seen seen);
    // The event that ends an exchange: its reply shown, or the time-out.
    static bool endsAnExchange(const QString &event)
    {
        return event.startsWith(QLatin1String("shown ")) || event.startsWith(QLatin1String("time-out"));
    }
    ~LineTap();
    LineTap(const LineTap &) = delete;
    LineTap &operator=(const LineTap &) = delete;
};
