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

    // The progress line from the first step on.
    void started() { showProgress(0); }
    void exchanged(const Session::Record &record);
    void finished(const Session::Summary &summary);

    static QString exchangeLine(const Session::Record &record);

private:
    void showProgress(double seconds);

    Session::Plan m_plan;
    Sink m_out, m_err, m_progress;
    qsizetype m_done = 0;   // exchanges that passed or failed, not those sent again
    Session::Record m_failed;
};
