#include "session_runner.h"

#include "board_protocol.h"

#include <chrono>

using Session::Outcome;

namespace {

double seconds(std::chrono::nanoseconds ns)
{
    return std::chrono::duration<double>(ns).count();
}

} // namespace

SessionRunner::SessionRunner(SerialChannel &channel, QList<SessionFile::Step> steps, int retries,
                             DeviceDialogue::Pace pace, QObject *parent)
    : QObject(parent)
    , m_channel(channel)
    , m_own(std::in_place, &channel)
    , m_dialogue(*m_own)
    , m_steps(std::move(steps))
    , m_retriesAllowed(retries)
{
    m_own->setPace(pace);
    listen();
}

SessionRunner::SessionRunner(SerialChannel &channel, DeviceDialogue &shared,
                             QList<SessionFile::Step> steps, int retries, QObject *parent)
    : QObject(parent)
    , m_channel(channel)
    , m_dialogue(shared)
    , m_steps(std::move(steps))
    , m_retriesAllowed(retries)
{
    listen();
}

void SessionRunner::listen()
{
    connect(&m_dialogue, &DeviceDialogue::exchangeFinished, this,
            &SessionRunner::onExchangeFinished);
    connect(&m_channel, &SerialChannel::errorOccurred, this, &SessionRunner::onChannelError);
}

Session::Plan SessionRunner::plan() const
{
    std::chrono::nanoseconds floor{0};
    for (const SessionFile::Step &step : m_steps) {
        if (step.port == 0)
            floor += DeviceDialogue::least(m_dialogue.pace(), step.command, true);
    }
    return {SessionFile::exchangeCount(m_steps), seconds(floor)};
}

void SessionRunner::start()
{
    m_clock.start();
    m_running = true;
    next();
}

void SessionRunner::stop(Outcome outcome, const QString &why)
{
    if (!m_running || m_stop)
        return;
    m_stop.emplace(outcome, why);
    if (!m_inExchange)
        finish(outcome, why);
}

void SessionRunner::abort(Outcome outcome, const QString &why)
{
    m_inExchange = false;
    finish(outcome, why);
}

void SessionRunner::next()
{
    while (m_running) {
        if (m_stop)
            return finish(m_stop->first, m_stop->second);
        if (m_next == m_steps.size())
            return finish(Outcome::Done, {});
        const SessionFile::Step &step = m_steps.at(m_next);
        if (step.port == 0) {
            m_inExchange = true;
            m_dialogue.EnviaOrden(step.command);
            return;
        }
        // A failed open has been reported by the channel already (and ended us).
        if (!m_dialogue.switchPort(step.port))
            return;
        ++m_next;
    }
}

void SessionRunner::onExchangeFinished(const QByteArray &, const QByteArray &respuesta,
                                       bool timedOut)
{
    if (!m_running)
        return;
    m_inExchange = false;
    const SessionFile::Step &step = m_steps.at(m_next);
    ++m_exchanges;
    m_floor += DeviceDialogue::least(m_dialogue.pace(), step.command, !timedOut);
    Session::Record record{elapsed(), step, respuesta, timedOut, m_attempt,
                           ReplyCheck::judge(step, respuesta, timedOut), false};
    const bool ok = record.result.verdict == ReplyCheck::Verdict::Ok;
    // Only silence is worth another try: a wrong answer would come again, and
    // the board may act on a Start it heard but did not answer.
    record.retrying = !ok && timedOut && m_attempt <= m_retriesAllowed && !m_stop
        && step.command != BoardProtocol::startCommand();
    emit exchanged(record);
    if (record.retrying) {
        ++m_attempt;
        ++m_retries;
    } else if (ok) {
        m_attempt = 1;
        ++m_next;
    } else {
        ++m_failures;
        // Silence and a wrong answer call for different remedies.
        return finish(record.result.verdict == ReplyCheck::Verdict::NoAnswer ? Outcome::NoAnswer
                                                                            : Outcome::CheckFailed,
                      {});
    }
    next();
}

void SessionRunner::onChannelError(SerialChannel::Failure failure, const QString &message)
{
    if (!m_running)
        return;
    m_inExchange = false;
    finish(failure == SerialChannel::Failure::Busy ? Outcome::PortBusy : Outcome::PortFailed,
           message);
}

void SessionRunner::finish(Outcome outcome, const QString &why)
{
    if (!m_running)
        return;
    m_running = false;
    m_dialogue.cancelAll();
    Session::Summary summary;
    summary.port = m_channel.portNumber();
    summary.device = m_channel.deviceName();
    // Its own dialogue's port goes with it; a shared one's stays open for
    // the window once all has passed.
    if (m_own || outcome != Outcome::Done)
        m_channel.close();
    summary.outcome = outcome;
    summary.why = why;
    if (m_next < m_steps.size())
        summary.at = m_steps.at(m_next);
    summary.exchanges = m_exchanges;
    summary.planned = SessionFile::exchangeCount(m_steps);
    summary.retries = m_retries;
    summary.failures = m_failures;
    summary.seconds = elapsed();
    summary.floorSeconds = seconds(m_floor);
    summary.pace = m_dialogue.pace();
    emit finished(summary);
}
