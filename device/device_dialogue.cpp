#include "device_dialogue.h"

#include "serial_channel.h"

#include <chrono>

using BoardProtocol::StatusFields;

DeviceDialogue::DeviceDialogue(SerialChannel *channel, QObject *parent)
    : QObject(parent), serie(channel)
{
    m_clock.start();
    m_timer.setSingleShot(true);
    // Coarse timers may fire 5% late: 15 ms on a 300 ms wait.
    m_timer.setTimerType(Qt::PreciseTimer);
    connect(&m_timer, &QTimer::timeout, this, &DeviceDialogue::onTimer);
    connect(serie, &SerialChannel::errorOccurred, this,
            [this](SerialChannel::Failure failure) {
                if (failure == SerialChannel::Failure::Lost)
                    onChannelLost();
            });
}

void DeviceDialogue::EnviaOrden(const QByteArray &orden)
{
    if (!serie->isOpen()) {
        emit refused(orden, SerialChannel::notOpenMessage());
        return;
    }
    m_queue.enqueue(orden);
    if (m_phase == Phase::Idle)
        startNext();
}

void DeviceDialogue::cancelAll()
{
    m_queue.clear();
    m_timer.stop();
    const bool wasBusy = m_phase != Phase::Idle;
    m_phase = Phase::Idle;
    if (wasBusy)
        emit idle();
}

void DeviceDialogue::onChannelLost()
{
    // The channel reported the loss once; the queued commands go with it.
    cancelAll();
}

void DeviceDialogue::startNext()
{
    while (!m_queue.isEmpty()) {
        m_orden = m_queue.dequeue();
        if (!serie->isOpen()) {
            emit refused(m_orden, SerialChannel::notOpenMessage());
            continue;
        }
        m_phase = Phase::Waiting;
        m_writtenAtNs = m_clock.nsecsElapsed();
        if (!serie->write(m_orden)) {
            // The channel has reported why; whatever was queued was meant for that port.
            m_queue.clear();
            break;
        }
        emit written(m_orden);
        EsperaRespuesta();
        return;
    }
    m_phase = Phase::Idle;
    emit idle();
}

void DeviceDialogue::EsperaRespuesta()
{
    // Whatever was waiting before this command's reply could arrive is stale.
    Respuesta = serie->readAll();
    Recibido = false;
    Respuesta.clear();
    setStatus(StatusFields{});
    Pasada = 1;
    // The first poll comes right after the write; the rest are timed from it.
    pass();
}

void DeviceDialogue::pass()
{
    const int pasada = int(Pasada);
    Respuesta = serie->readAll();
    if (m_phase != Phase::Waiting)
        return;   // the read noticed a loss and the wait was cancelled
    emit polled(pasada, Respuesta);
    if (!Respuesta.isEmpty())
        Recibido = true;
    Pasada = Pasada + 1;
    if (Pasada == Passes + 1) {
        Recibido = true;
        // Only a wait that heard nothing times out; a reply first seen by the
        // last poll is still the board's answer and is shown.
        if (Respuesta.isEmpty())
            Respuesta = BoardProtocol::TimeoutMarker;
    }
    // Each poll is followed by a full pass period; deadlines count from the write.
    m_phase = Recibido ? Phase::Ending : Phase::Waiting;
    scheduleAt(qint64(pasada) * PassMs * 1000000);
}

void DeviceDialogue::scheduleAt(qint64 offsetNs)
{
    const qint64 remainingNs = m_writtenAtNs + offsetNs - m_clock.nsecsElapsed();
    // Round up: never poll before the deadline.
    const qint64 ms = remainingNs <= 0 ? 0 : (remainingNs + 999999) / 1000000;
    m_timer.start(std::chrono::milliseconds(ms));
}

void DeviceDialogue::onTimer()
{
    if (m_phase == Phase::Waiting)
        pass();
    else if (m_phase == Phase::Ending)
        finish();
}

void DeviceDialogue::finish()
{
    setStatus(BoardProtocol::decodeReply(Respuesta));
    m_phase = Phase::Idle;
    emit exchangeFinished(m_orden, Respuesta);
    if (m_phase == Phase::Idle)   // a slot may have asked for more already
        startNext();
}

void DeviceDialogue::setStatus(const StatusFields &status)
{
    m_status = status;
    emit statusChanged(status);
}
