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
// the first read that returned text, or 300 ms after the write with the
// time-out marker when all three reads were empty.
//
// The waits are timer-driven, so the event loop keeps running. Commands asked
// for during a wait are queued and exchanged afterwards, one at a time, in order.
class DeviceDialogue : public QObject
{
    Q_OBJECT

public:
    static constexpr int PassMs = 100;
    static constexpr int Passes = 3;

    explicit DeviceDialogue(SerialChannel *serie, QObject *parent = nullptr);

    // Asks for one exchange. Refused (and reported) when the channel is closed.
    void EnviaOrden(const QByteArray &orden);

    // Drops queued commands and ends a running wait without decoding it.
    void cancelAll();

    bool isBusy() const { return m_phase != Phase::Idle; }
    int queued() const { return int(m_queue.size()); }
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
    // Nothing running and nothing queued.
    void idle();
    // A command that could not be sent, with words meant for the user.
    void refused(const QByteArray &orden, const QString &message);

private:
    enum class Phase { Idle, Waiting, Ending };

    void startNext();
    void EsperaRespuesta();
    void onTimer();
    void pass();
    void finish();
    void scheduleAt(qint64 offsetNs);
    void setStatus(const BoardProtocol::StatusFields &status);
    void onChannelLost();

    SerialChannel *serie;
    QQueue<QByteArray> m_queue;
    QByteArray m_orden;
    Phase m_phase = Phase::Idle;
    QTimer m_timer;
    QElapsedTimer m_clock;
    qint64 m_writtenAtNs = 0;
    BoardProtocol::StatusFields m_status;

    QByteArray Respuesta;
    bool Recibido = false;
    double Pasada = 0;
};
