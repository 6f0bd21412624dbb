#include "session_console.h"

#include "printable.h"

#include <chrono>

namespace {

constexpr double PassSeconds = std::chrono::duration<double>(DeviceDialogue::PassPeriod).count();

QString quoted(const QByteArray &bytes)
{
    return u'"' + QString::fromLatin1(printable(bytes)) + u'"';
}

} // namespace

SessionConsole::SessionConsole(const SessionRunner &runner, Sink out, Sink err, Sink progress)
    : m_runner(runner), m_out(std::move(out)), m_err(std::move(err)), m_progress(std::move(progress))
{
}

QString SessionConsole::exchangeLine(const SessionRunner::Record &record)
{
    QString verdict;
    if (record.result.verdict == ReplyCheck::Verdict::Ok)
        verdict = tr("ok");
    else if (record.retrying)
        verdict = tr("%1, sending it again").arg(record.result.detail);
    else
        verdict = tr("FAILED: %1").arg(record.result.detail);
    return tr("%1  line %2  %3  %4  %5  %6")
        .arg(record.seconds, 8, 'f', 3)
        .arg(record.step->line, -4)
        .arg(record.step->asked, -13)
        .arg(quoted(record.step->command), -9)
        .arg(quoted(record.reply), -8)
        .arg(verdict);
}

void SessionConsole::exchanged(const SessionRunner::Record &record)
{
    ++(record.timedOut ? m_silent : m_answered);
    if (record.result.verdict != ReplyCheck::Verdict::Ok && !record.retrying) {
        ++m_failures;
        m_failed = record;
    }
    if (m_progress)
        m_progress(QString());
    m_out(exchangeLine(record));
    showProgress();
}

double SessionConsole::floorSeconds() const
{
    return PassSeconds * double(2 * m_answered + DeviceDialogue::Passes * m_silent);
}

void SessionConsole::showProgress()
{
    if (!m_progress)
        return;
    const qsizetype total = SessionFile::exchangeCount(m_runner.steps());
    const qsizetype done = m_answered + m_silent - m_runner.retriesDone();
    const double each = done > 0 ? m_runner.elapsed() / double(done) : 2 * PassSeconds;
    m_progress(tr("step %1 of %2, about %3 s left")
                   .arg(done + 1 > total ? total : done + 1)
                   .arg(total)
                   .arg(qRound(each * double(total - done))));
}

void SessionConsole::finished(SessionRunner::Outcome outcome, const QString &why)
{
    using Outcome = SessionRunner::Outcome;
    if (m_progress)
        m_progress(QString());
    const qsizetype at = m_runner.position();
    const SessionFile::Step *step = at < m_runner.steps().size() ? &m_runner.steps().at(at) : nullptr;
    const QString where = step ? tr("line %1 (%2)").arg(step->line).arg(step->asked) : QString();
    switch (outcome) {
    case Outcome::Done:
        break;
    case Outcome::CheckFailed:
        m_err(tr("Failed at %1: %2. Sent %3, the board answered %4. Nothing more was sent; "
                 "the port is closed.")
                  .arg(where, m_failed.result.detail, quoted(m_failed.step->command),
                       m_failed.timedOut ? tr("nothing") : quoted(m_failed.reply)));
        break;
    case Outcome::PortFailed:
    case Outcome::PortBusy:
    case Outcome::ReportFailed:
        m_err(tr("Stopped at %1: %2 Nothing more was sent; the port is closed.").arg(where, why));
        break;
    case Outcome::Interrupted:
        m_err(tr("Interrupted at %1: %2. %3 of %4 exchanges were done; the port is closed.")
                  .arg(where.isEmpty() ? tr("the end") : where, why)
                  .arg(m_answered + m_silent - m_runner.retriesDone())
                  .arg(SessionFile::exchangeCount(m_runner.steps())));
        break;
    }
    m_out(tr("%1 exchanges, %2 retries, %3 failures in %4 s (the protocol's floor for them: %5 s)")
              .arg(m_answered + m_silent)
              .arg(m_runner.retriesDone())
              .arg(m_failures)
              .arg(m_runner.elapsed(), 0, 'f', 2)
              .arg(floorSeconds(), 0, 'f', 2));
}
