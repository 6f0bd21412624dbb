#pragma once

#include "device_dialogue.h"
#include "reply_check.h"
#include "serial_channel.h"
#include "session_file.h"

#include <QElapsedTimer>
#include <QObject>

// Carries out a session's steps on a channel through the window's own
// exchange, one at a time and in order, checking each reply before the next
// step goes out. The first failure ends the session: nothing more is sent
// and the port is closed.
class SessionRunner : public QObject
{
    Q_OBJECT

public:
    enum class Outcome { Done, CheckFailed, PortFailed, PortBusy, ReportFailed, Interrupted };
    Q_ENUM(Outcome)

    // One exchange as it ended.
    struct Record
    {
        double seconds = 0;   // since the session started
        const SessionFile::Step *step = nullptr;
        QByteArray reply;     // as read, or the time-out marker
        bool timedOut = false;
        int attempt = 1;      // 2 and on: sent again after a time-out
        ReplyCheck::Result result;
        bool retrying = false;   // failed, and goes out again
    };

    // retries: how often a command that got no answer is sent again (never Start).
    SessionRunner(SerialChannel &channel, QList<SessionFile::Step> steps, int retries,
                  QObject *parent = nullptr);

    void start();
    // Ends the session once the exchange under way (if any) has ended.
    void stop(Outcome outcome, const QString &why = QString());

    const QList<SessionFile::Step> &steps() const { return m_steps; }
    qsizetype exchangesDone() const { return m_exchanges; }
    int retriesDone() const { return m_retries; }
    double elapsed() const { return double(m_clock.nsecsElapsed()) / 1e9; }
    // The step under way or last done, from 0.
    qsizetype position() const { return m_next; }

signals:
    void exchanged(const SessionRunner::Record &record);
    // why: the channel's words, or the interruption's; empty for Done and CheckFailed.
    void finished(SessionRunner::Outcome outcome, const QString &why);

private:
    void next();
    void onExchangeFinished(const QByteArray &orden, const QByteArray &respuesta, bool timedOut);
    void onChannelError(SerialChannel::Failure failure, const QString &message);
    void finish(Outcome outcome, const QString &why);

    SerialChannel &m_channel;
    DeviceDialogue m_dialogue;
    QList<SessionFile::Step> m_steps;
    int m_retriesAllowed;
    qsizetype m_next = 0;
    int m_attempt = 1;
    qsizetype m_exchanges = 0;
    int m_retries = 0;
    bool m_running = false;
    bool m_inExchange = false;
    std::optional<std::pair<Outcome, QString>> m_stop;
    QElapsedTimer m_clock;
};
