#include "session_console.h"

#include "printable.h"
#include "serial_channel.h"

namespace {

QString quoted(const QByteArray &bytes)
{
    return u'"' + QString::fromLatin1(printable(bytes)) + u'"';
}

// Counts in words, each language with its own plural: "1 exchange", "2 exchanges".
QString exchanges(qsizetype n) { return SessionConsole::tr("%n exchange(s)", nullptr, int(n)); }

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
    if (m_quiet)
        return;
    if (m_progress)
        m_progress(QString());
    m_out(exchangeLine(record));
    showProgress(record.seconds);
}

void SessionConsole::showProgress(double seconds)
{
    if (!m_progress || m_quiet)
        return;
    const qsizetype total = m_plan.exchanges;
    const double each = m_done > 0 ? seconds / double(m_done)
                                   : total > 0 ? m_plan.floorSeconds / double(total) : 0;
    m_progress(tr("step %1 of %2, about %3 s left")
                   .arg(m_done + 1 > total ? total : m_done + 1)
                   .arg(total)
                   .arg(qRound(each * double(total - m_done))));
}

QString SessionConsole::where(const Session::Summary &summary) const
{
    return summary.at ? tr("line %1 (%2)").arg(summary.at->line).arg(summary.at->asked) : QString();
}

void SessionConsole::finished(const Session::Summary &summary)
{
    using Session::Outcome;
    if (m_quiet)
        return tell(closingLine(summary));
    if (m_progress)
        m_progress(QString());
    const QString where = this->where(summary);
    switch (summary.outcome) {
    case Outcome::Done:
        break;
    case Outcome::CheckFailed:
    case Outcome::NoAnswer:
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
        m_err(tr("Interrupted at %1: %2. %3 of %n exchange(s) were done; the port is closed.", nullptr,
                 int(summary.planned))
                  .arg(where.isEmpty() ? tr("the end") : where, summary.why)
                  .arg(summary.exchanges - summary.retries));
        break;
    }
    tell(summaryLine(summary));
}

void SessionConsole::tell(const QString &last)
{
    m_out(last);
    if (m_terminal)
        m_terminal(last);
}

QString SessionConsole::summaryLine(const Session::Summary &summary)
{
    const QString line = summary.pace == DeviceDialogue::Pace::Line
        ? tr("%1, %2, %3 in %4 s (the line's floor for them: %5 s)")
        : tr("%1, %2, %3 in %4 s (the protocol's floor for them: %5 s)");
    return line.arg(exchanges(summary.exchanges), tr("%n retry(ies)", nullptr, int(summary.retries)),
                    tr("%n failure(s)", nullptr, int(summary.failures)))
        .arg(summary.seconds, 0, 'f', 2)
        .arg(summary.floorSeconds, 0, 'f', 2);
}

QString SessionConsole::closingLine(const Session::Summary &summary) const
{
    using Session::Outcome;
    QString verdict;
    QString why = summary.why;
    if (why.endsWith(u'.'))
        why.chop(1);
    switch (summary.outcome) {
    case Outcome::Done:
        verdict = tr("passed");
        break;
    case Outcome::CheckFailed:
    case Outcome::NoAnswer:
        verdict = tr("FAILED at %1: %2").arg(where(summary), m_failed.result.detail);
        break;
    case Outcome::PortFailed:
    case Outcome::PortBusy:
    case Outcome::ReportFailed:
        verdict = tr("STOPPED at %1: %2").arg(where(summary), why);
        break;
    case Outcome::Interrupted:
        verdict = tr("INTERRUPTED at %1: %2")
                      .arg(summary.at ? where(summary) : tr("the end"), why);
        break;
    }
    const QString port = SerialChannel::portLabel(summary.port);
    return tr("%1: %2; %3 in %4 s")
        .arg(summary.device.isEmpty() ? port : tr("%1 (%2)").arg(port, summary.device), verdict,
             exchanges(summary.exchanges))
        .arg(summary.seconds, 0, 'f', 2);
}
