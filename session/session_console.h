#pragma once

#include "session_runner.h"

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
    SessionConsole(const SessionRunner &runner, Sink out, Sink err, Sink progress = {});

    // The progress line from the first step on.
    void started() { showProgress(); }
    void exchanged(const SessionRunner::Record &record);
    void finished(SessionRunner::Outcome outcome, const QString &why);

    // The least the exchanges done can take: a reply is first seen by the
    // read one pass after the write, and the wait ends a pass later; silence
    // ends three passes after the write.
    double floorSeconds() const;

    static QString exchangeLine(const SessionRunner::Record &record);

private:
    void showProgress();

    const SessionRunner &m_runner;
    Sink m_out, m_err, m_progress;
    qsizetype m_answered = 0;
    qsizetype m_silent = 0;
    qsizetype m_failures = 0;
    SessionRunner::Record m_failed;
};
