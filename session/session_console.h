#pragma once

#include "session_record.h"

#include <QCoreApplication>
#include <QString>

#include <functional>

// What a session tells people as it runs, in their language: a line per
// exchange (time, file line, step, command, reply, verdict), on a terminal a
// progress line, and at the end how far it got and a summary. Where the
// words go is the caller's: each sink takes one line without its newline.
class SessionConsole
{
    Q_DECLARE_TR_FUNCTIONS(SessionConsole)

public:
    using Sink = std::function<void(const QString &)>;

    // progress: where the progress line goes (a terminal's standard error),
    // rewritten in place; empty for none.
    SessionConsole(const Session::Plan &plan, Sink out, Sink err, Sink progress = {});

    // No exchange lines and no progress: at the end one line on out names
    // the port, its device, the verdict, the exchanges and the time, so the
    // lines of sessions run side by side tell which board is which.
    void setQuiet(bool quiet) { m_quiet = quiet; }
    // A terminal that out's lines do not reach (they go to a file or a
    // pipe): the summary, or the quiet closing line, goes there too.
    void setTerminal(Sink terminal) { m_terminal = std::move(terminal); }

    // The progress line from the first step on.
    void started() { showProgress(0); }
    void exchanged(const Session::Record &record);
    void finished(const Session::Summary &summary);

    static QString exchangeLine(const Session::Record &record);
    // Exchanges, retries, failures and the time against the floor of the pace used.
    static QString summaryLine(const Session::Summary &summary);

private:
    void showProgress(double seconds);
    QString where(const Session::Summary &summary) const;
    QString closingLine(const Session::Summary &summary) const;
    void tell(const QString &last);

    Session::Plan m_plan;
    Sink m_out, m_err, m_progress, m_terminal;
    bool m_quiet = false;
    qsizetype m_done = 0;   // exchanges that passed or failed, not those sent again
    Session::Record m_failed;
};
