#include "session_console.h"

#include "printable.h"

namespace {

QString quoted(const QByteArray &bytes)
{
    return u'"' + QString::fromLatin1(printable(bytes)) + u'"';
}

} // namespace

SessionConsole::SessionConsole(const Session::Plan &plan, Sink out, Sink err, Sink progress)
    : m_plan(plan), m_out(std::move(out)), m_err(std::move(err)), m_progress(std::move(progress))
{
}

QString SessionConsole::exchangeLine(const Session::Record &record)
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
        .arg(record.step.line, -4)
        .arg(record.step.asked, -13)
        .arg(quoted(record.step.command), -9)
        .arg(quoted(record.reply), -8)
        .arg(verdict);
}

void SessionConsole::exchanged(const Session::Record &record)
{
    if (!record.retrying)
        ++m_done;
    if (record.result.verdict != ReplyCheck::Verdict::Ok && !record.retrying)
        m_failed = record;
    if (m_progress)
        m_progress(QString());
    m_out(exchangeLine(record));
    showProgress(record.seconds);
}

void SessionConsole::showProgress(double seconds)
{
    if (!m_progress)
        return;
    const qsizetype total = m_plan.exchanges;
    const double each = m_done > 0 ? seconds / double(m_done)
                                   : total > 0 ? m_plan.floorSeconds / double(total) : 0;
    m_progress(tr("step %1 of %2, about %3 s left")
                   .arg(m_done + 1 > total ? total : m_done + 1)
                   .arg(total)
                   .arg(qRound(each * double(total - m_done))));
}

void SessionConsole::finished(const Session::Summary &summary)
{
    using Session::Outcome;
    if (m_progress)
        m_progress(QString());
    const QString where =
        summary.at ? tr("line %1 (%2)").arg(summary.at->line).arg(summary.at->asked) : QString();
    switch (summary.outcome) {
    case Outcome::Done:
        break;
    case Outcome::CheckFailed:
        m_err(tr("Failed at %1: %2. Sent %3, the board answered %4. Nothing more was sent; "
                 "the port is closed.")
                  .arg(where, m_failed.result.detail, quoted(m_failed.step.command),
                       m_failed.timedOut ? tr("nothing") : quoted(m_failed.reply)));
        break;
    case Outcome::PortFailed:
    case Outcome::PortBusy:
    case Outcome::ReportFailed:
        m_err(tr("Stopped at %1: %2 Nothing more was sent; the port is closed.").arg(where, summary.why));
        break;
    case Outcome::Interrupted:
        m_err(tr("Interrupted at %1: %2. %3 of %4 exchanges were done; the port is closed.")
                  .arg(where.isEmpty() ? tr("the end") : where, summary.why)
                  .arg(summary.exchanges - summary.retries)
                  .arg(summary.planned));
        break;
    }
    m_out(tr("%1 exchanges, %2 retries, %3 failures in %4 s (the protocol's floor for them: %5 s)")
              .arg(summary.exchanges)
              .arg(summary.retries)
              .arg(summary.failures)
              .arg(summary.seconds, 0, 'f', 2)
              .arg(summary.floorSeconds, 0, 'f', 2));
}
