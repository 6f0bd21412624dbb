#pragma once

#include "device_dialogue.h"
#include "serial_channel.h"
#include "session_file.h"
#include "session_record.h"

#include <QElapsedTimer>
#include <QObject>

#include <optional>

// Carries out a session's steps on a channel through the window's own
// exchange, one at a time and in order, checking each reply before the next
// step goes out. The first failure ends the session: nothing more is sent
// and the port is closed.
class SessionRunner : public QObject
{
    Q_OBJECT

public:
    // retries: how often a command that got no answer is sent again (never
    // Start); pace: that of its own dialogue.
    SessionRunner(SerialChannel &channel, QList<SessionFile::Step> steps, int retries,
                  DeviceDialogue::Pace pace = DeviceDialogue::Pace::Window,
                  QObject *parent = nullptr);
    // Through a dialogue that others use too (the window's): start it only
    // when that dialogue is idle, and let nothing else ask it for work until
    // the session has ended. A session that passes leaves the port open.
    SessionRunner(SerialChannel &channel, DeviceDialogue &shared, QList<SessionFile::Step> steps,
                  int retries, QObject *parent = nullptr);

    Session::Plan plan() const;
    void start();
    // Ends the session once the exchange under way (if any) has ended.
    void stop(Session::Outcome outcome, const QString &why = QString());
    // Ends it now: for when the exchange under way has been cut short already.
    void abort(Session::Outcome outcome, const QString &why);

signals:
    void exchanged(const Session::Record &record);
    void finished(const Session::Summary &summary);

private:
    void listen();
    void next();
    void onExchangeFinished(const QByteArray &orden, const QByteArray &respuesta, bool timedOut);
    void onChannelError(SerialChannel::Failure failure, const QString &message);
    void finish(Session::Outcome outcome, const QString &why);
    double elapsed() const { return double(m_clock.nsecsElapsed()) / 1e9; }

    SerialChannel &m_channel;
    std::optional<DeviceDialogue> m_own;
    DeviceDialogue &m_dialogue;
    QList<SessionFile::Step> m_steps;
    int m_retriesAllowed;
    qsizetype m_next = 0;   // the step under way or last done
    int m_attempt = 1;
    qsizetype m_exchanges = 0;
    std::chrono::nanoseconds m_floor{0};   // the least the exchanges done could take
    int m_retries = 0;
    int m_failures = 0;
    bool m_running = false;
    bool m_inExchange = false;
    std::optional<std::pair<Session::Outcome, QString>> m_stop;
    QElapsedTimer m_clock;
};
