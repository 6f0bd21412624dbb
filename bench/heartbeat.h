#pragma once

#include "stats.h"

#include <QTimer>

#include <vector>

// A 1 ms precise timer on the event thread. Any gap between two ticks beyond
// the period is time the event loop could not answer: a stall. The thread's
// schedstat tells where the time went: running our code, runnable but waiting
// for a CPU (other load on the machine), or neither (asleep or blocked in the
// kernel, or the whole machine held up: "off"). The "own" longest stall
// leaves out the waits for a CPU.
class Heartbeat
{
public:
    struct Stall
    {
        double ms = 0;
        double runningMs = 0;
        double waitingMs = 0;   // runnable, no CPU free
        long pageIns = 0;       // major page faults: blocked on the disk
        double offMs() const { return std::max(0.0, ms - runningMs - waitingMs); }
        QString where() const;
    };

    Heartbeat();
    ~Heartbeat();

    void start();
    void stop();
    // Since start(): the lateness of every tick (ms).
    const std::vector<double> &stalls() const { return m_stalls; }
    Stall longest() const { return m_longest; }
    Stall longestOwn() const { return m_longestOwn; }
    // The most our code ran between two ticks: the stall it caused itself.
    double longestRunningMs() const { return m_longestRunningMs; }
    double elapsedMs() const { return Bench::msBetween(m_started, m_last); }

private:
    struct Sched
    {
        double runningMs = 0, waitingMs = 0;
        long pageIns = 0;
    };
    Sched sched() const;
    void tick();

    QTimer m_timer;
    int m_schedstat = -1;
    Bench::Clock::time_point m_started, m_last;
    Sched m_lastSched;
    std::vector<double> m_stalls;
    Stall m_longest, m_longestOwn;
    double m_longestRunningMs = 0;
};
