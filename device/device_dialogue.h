#pragma once

#include "board_protocol.h"

#include <QByteArray>
#include <QObject>
#include <QQueue>
#include <QTimer>

#include <chrono>
#include <functional>
#include <variant>

class SerialChannel;

// The exchange every command goes through: write the command, then read at
// once, one and two pass periods later. The wait ends one pass period after
// the read that first saw text, taking in the rest of the reply, or three pass
// periods after the write with the time-out marker when all reads were empty.
// Waits are timer-driven; work asked for meanwhile queues and runs in order.
//
// That is the window's pace, the default. At the line's pace (sessions that
// ask for it) the wait instead ends once a whole reply is in and the line has
// been quiet for two characters' time, as the channel tells of bytes coming;
// silence still ends three pass periods after the write.
class DeviceDialogue : public QObject
{
    Q_OBJECT

public:
    using Clock = std::chrono::steady_clock;
    static constexpr std::chrono::milliseconds PassPeriod{100};
    static constexpr int Passes = 3;

    enum class Pace { Window, Line };
    // How long the line must stay quiet after a whole reply at the line's pace.
    static constexpr std::chrono::nanoseconds QuietTime = 2 * BoardProtocol::CharTime;

    // The least that exchanges can take: a reply is first seen by the read
    // one pass after the write and the wait ends a pass later; silence ends
    // three passes after the write.
    static constexpr std::chrono::milliseconds floor(qsizetype answered, qsizetype silent)
    {
        return PassPeriod * (2 * answered + Passes * silent);
    }

    // The least one exchange of this command can take at this pace: the
    // window's passes, or the line carrying the command and a whole reply.
    static std::chrono::nanoseconds least(Pace pace, const QByteArray &orden, bool answered)
    {
        if (!answered)
            return PassPeriod * Passes;
        if (pace == Pace::Window)
            return PassPeriod * 2;
        return BoardProtocol::CharTime * (orden.size() + BoardProtocol::ReplyLength);
    }

    explicit DeviceDialogue(SerialChannel *serie, QObject *parent = nullptr);

    // From the next exchange on.
    void setPace(Pace pace);
    Pace pace() const { return m_pace; }

    // Asks for one exchange. Refused (and reported) when no port is open and
    // no switch to one is waiting its turn.
    void EnviaOrden(const QByteArray &orden);
    // Closes the channel if open, then opens it on this port: now when nothing
    // is under way, else in its turn. False when it ran now and the port did
    // not open (the channel has said why).
    bool switchPort(qint16 port);
    // Drops all queued work and ends a running wait without decoding it.
    void cancelAll();

    // A wait is running or work is queued.
    bool isBusy() const { return m_phase != Phase::Idle || !m_queue.isEmpty(); }
    bool hasPortSwitchQueued() const;
    // Where the waits read the time: the steady clock, or one a test moves.
    void setClock(std::function<Clock::time_point()> now) { m_now = std::move(now); }

signals:
    // What the status shows: blank from the write until the wait ends, then the reply.
    void statusChanged(const BoardProtocol::ReplyFields &status);
    // timedOut: nothing was heard, respuesta is the time-out marker.
    void exchangeFinished(const QByteArray &orden, const QByteArray &respuesta, bool timedOut);
    void portSwitched(qint16 port, bool opened);
    // Busy changed: work began, or nothing is running or queued any more.
    void busyChanged(bool busy);
    void idle();
    // A command that could not be sent, with words meant for the user.
    void refused(const QByteArray &orden, const QString &message);

private:
    enum class Phase { Idle, Switching, Waiting, Ending };

    // Each piece of work carries the port opening it was asked for: work for
    // an opening that failed or was lost goes with it.
    struct Command { QByteArray orden; quint64 opening; };
    struct PortSwitch { qint16 port; quint64 opening; };
    using Work = std::variant<Command, PortSwitch>;

    void startNext();
    bool runSwitch(const PortSwitch &work);
    void dropCommandsFor(quint64 opening);
    void EsperaRespuesta();
    void pass(Clock::time_point readAt);
    void takeReply();
    void lineDeadline();
    void finish();
    void scheduleAt(Clock::time_point due);
    void refuse(const QByteArray &orden);
    void noteBusy();

    SerialChannel *serie;
    QQueue<Work> m_queue;
    quint64 m_openingsAsked = 0;
    quint64 m_openingInUse = 0;
    QByteArray m_orden;
    Phase m_phase = Phase::Idle;
    Pace m_pace = Pace::Window;
    bool m_busyShown = false;
    bool m_timedOut = false;
    QTimer m_timer{this};
    std::function<Clock::time_point()> m_now = Clock::now;
    Clock::time_point m_writtenAt;
    Clock::time_point m_due;   // when the timer's step falls due

    QByteArray Respuesta;
    bool Recibido = false;
    double Pasada = 0;
};
