#include "heartbeat.h"

#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cstdio>

Heartbeat::Heartbeat()
{
    // Opened once: a tick must cost next to nothing.
    m_schedstat = ::open("/proc/thread-self/schedstat", O_RDONLY | O_CLOEXEC);
    m_timer.setTimerType(Qt::PreciseTimer);
    m_timer.setInterval(1);
    QObject::connect(&m_timer, &QTimer::timeout, [this] { tick(); });
}

Heartbeat::~Heartbeat()
{
    if (m_schedstat >= 0)
        ::close(m_schedstat);
}

Heartbeat::Sched Heartbeat::sched() const
{
    char text[128] = {};
    unsigned long long runningNs = 0, waitingNs = 0;
    if (m_schedstat >= 0 && ::pread(m_schedstat, text, sizeof text - 1, 0) > 0)
        std::sscanf(text, "%llu %llu", &runningNs, &waitingNs);
    rusage usage{};
    ::getrusage(RUSAGE_THREAD, &usage);
    return Sched{double(runningNs) / 1e6, double(waitingNs) / 1e6, usage.ru_majflt};
}

void Heartbeat::start()
{
    m_stalls.clear();
    m_longest = m_longestOwn = Stall{};
    m_longestRunningMs = 0;
    m_started = m_last = Bench::Clock::now();
    m_lastSched = sched();
    m_timer.start();
}

void Heartbeat::stop()
{
    m_timer.stop();
}

void Heartbeat::tick()
{
    const auto now = Bench::Clock::now();
    const Sched s = sched();
    const double late = std::max(0.0, Bench::msBetween(m_last, now) - 1.0);
    const Stall stall{late, s.runningMs - m_lastSched.runningMs, s.waitingMs - m_lastSched.waitingMs,
                      s.pageIns - m_lastSched.pageIns};
    const double own = std::max(0.0, late - stall.waitingMs);
    m_stalls.push_back(late);
    if (late > m_longest.ms)
        m_longest = stall;
    if (own > m_longestOwn.ms - m_longestOwn.waitingMs)
        m_longestOwn = stall;
    m_longestRunningMs = std::max(m_longestRunningMs, stall.runningMs);
    m_last = now;
    m_lastSched = s;
}

QString Heartbeat::Stall::where() const
{
    QString text = QStringLiteral("%1 = %2 run + %3 CPU wait + %4 off")
                       .arg(Bench::number(ms, 1), Bench::number(runningMs, 1), Bench::number(waitingMs, 1),
                            Bench::number(offMs(), 1));
    if (pageIns > 0)
        text += QStringLiteral(" (%1 page-ins)").arg(pageIns);
    return text;
}
