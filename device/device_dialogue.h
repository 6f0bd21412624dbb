#pragma once

#include "board_protocol.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QObject>
#include <QQueue>
#include <QTimer>

class SerialChannel;

// The exchange every command goes through: write the command, then poll for
// the reply right away, 100 ms and 200 ms later. The wait ends 100 ms after
// the first read that returned text, taking in whatever else of the reply has
// arrived by then, or 300 ms after the write with the time-out marker when
// all three reads were empty.
//
// The waits are timer-driven, so the event loop keeps running. Work asked for
// meanwhile joins one queue and is carried out afterwards, in order: each
// command with its bytes, and each switch to another port, fixed when asked.
class DeviceDialogue : public QObject
{
    Q_OBJECT

public:
    static constexpr int PassMs = 100;
    static constexpr int Passes = 3;

    explicit DeviceDialogue(SerialChannel *serie, QObject *parent = nullptr);

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
    int queued() const { return int(m_queue.size()); }
    bool hasPortSwitchQueued() const;
    BoardProtocol::StatusFields status() const { return m_status; }

    // The exchange's own state, kept between waits as the board's tools expect.
    QByteArray respuesta() const { return Respuesta; }
    bool recibido() const { return Recibido; }
    double pasada() const { return Pasada; }

signals:
    // The boxes' texts: blank from the write until the wait ends, then the reply.
    void statusChanged(const BoardProtocol::StatusFields &status);
    void written(const QByteArray &orden);
    // Each poll of a wait, with what it read (pasada 1..3).
    void polled(int pasada, const QByteArray &text);
    void exchangeFinished(const QByteArray &orden, const QByteArray &respuesta);
    void portSwitched(qint16 port, bool opened);
    // Busy changed: work began, or nothing is running or queued any more.
    void busyChanged(bool busy);
    void idle();
    // A command that could not be sent, with words meant for the user.
    void refused(const QByteArray &orden, const QString &message);

private:
    enum class Phase { Idle, Switching, Waiting, Ending };

    struct Work
    {
        QByteArray orden;    // a command's bytes, or empty for a port switch
        qint16 port = 0;     // the port to switch to
        quint64 line = 0;    // which opening of the port the work is meant for
    };

    void startNext();
    bool runSwitch(qint16 port, quint64 line);
    void dropWorkFor(quint64 line);
    void EsperaRespuesta();
    void onTimer();
    void pass();
    void finish();
    void scheduleAt(qint64 offsetNs);
    void setStatus(const BoardProtocol::StatusFields &status);
    void refuse(const QByteArray &orden);
    void onChannelLost();
    void noteBusy();

    SerialChannel *serie;
    QQueue<Work> m_queue;
    // Openings counted as asked for, and the one the channel is on: work
    // meant for a port that failed or went away is dropped with it.
    quint64 m_linesAsked = 0;
    quint64 m_lineOpen = 0;
    QByteArray m_orden;
    Phase m_phase = Phase::Idle;
    bool m_busyShown = false;
    QTimer m_timer;
    QElapsedTimer m_clock;
    qint64 m_writtenAtNs = 0;
    bool m_timedOut = false;
    BoardProtocol::StatusFields m_status;

    QByteArray Respuesta;
    bool Recibido = false;
    double Pasada = 0;
};
