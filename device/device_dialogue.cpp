#include "device_dialogue.h"

#include "line_trace.h"
#include "serial_channel.h"

#include <algorithm>
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
    if (!serie->isOpen() && !hasPortSwitchQueued() && m_phase != Phase::Switching) {
        refuse(orden);
        return;
    }
    m_queue.enqueue(Work{orden, 0, m_linesAsked});
    if (m_phase == Phase::Idle)
        startNext();
    noteBusy();
}

bool DeviceDialogue::switchPort(qint16 port)
{
    ++m_linesAsked;
    if (m_phase == Phase::Idle && m_queue.isEmpty())
        return runSwitch(port, m_linesAsked);
    m_queue.enqueue(Work{{}, port, m_linesAsked});
    noteBusy();
    return true;
}

bool DeviceDialogue::hasPortSwitchQueued() const
{
    return std::any_of(m_queue.cbegin(), m_queue.cend(),
                       [](const Work &w) { return w.orden.isEmpty(); });
}

bool DeviceDialogue::runSwitch(qint16 port, quint64 line)
{
    m_phase = Phase::Switching;
    if (serie->isOpen())
        serie->close();
    serie->setPortNumber(port);
    const bool opened = serie->open();
    m_phase = Phase::Idle;
    if (opened)
        m_lineOpen = line;
    else
        dropWorkFor(line);   // the channel has said why, once for all of it
    emit portSwitched(port, opened);
    return opened;
}

void DeviceDialogue::dropWorkFor(quint64 line)
{
    m_queue.removeIf([line](const Work &w) { return !w.orden.isEmpty() && w.line == line; });
}

void DeviceDialogue::cancelAll()
{
    m_queue.clear();
    m_timer.stop();
    m_phase = Phase::Idle;
    noteBusy();
}

void DeviceDialogue::onChannelLost()
{
    // The channel reported the loss once; what was asked of that port goes with it.
    dropWorkFor(m_lineOpen);
    if (m_phase == Phase::Waiting || m_phase == Phase::Ending) {
        m_timer.stop();
        m_phase = Phase::Idle;
        startNext();   // work for a port picked since
    }
    noteBusy();
}

void DeviceDialogue::startNext()
{
    while (!m_queue.isEmpty()) {
        const Work work = m_queue.dequeue();
        if (work.orden.isEmpty()) {
            runSwitch(work.port, work.line);
            continue;
        }
        m_orden = work.orden;
        if (!serie->isOpen()) {
            refuse(m_orden);
            continue;
        }
        m_phase = Phase::Waiting;
        m_writtenAtNs = m_clock.nsecsElapsed();
        if (!serie->write(m_orden)) {
            // The channel has said why; the rest asked of this port goes too.
            m_phase = Phase::Idle;
            dropWorkFor(work.line);
            continue;
        }
        emit written(m_orden);
        EsperaRespuesta();
        return;
    }
    m_phase = Phase::Idle;
    noteBusy();
}

void DeviceDialogue::noteBusy()
{
    const bool busy = isBusy();
    if (busy == m_busyShown)
        return;
    m_busyShown = busy;
    emit busyChanged(busy);
    if (!busy)
        emit idle();
}

void DeviceDialogue::EsperaRespuesta()
{
    // Whatever was waiting before this command's reply could arrive is stale.
    Respuesta = serie->readAll();
    if (!Respuesta.isEmpty())
        LINE_TRACE(QStringLiteral("discarded %1").arg(LineTrace::quoted(Respuesta)));
    Recibido = false;
    Respuesta.clear();
    setStatus(StatusFields{});
    Pasada = 1;
    m_timedOut = false;
    // The first poll comes right after the write; the rest are timed from it.
    pass();
}

void DeviceDialogue::pass()
{
    const int pasada = int(Pasada);
    Respuesta = serie->readAll();
    LINE_TRACE(QStringLiteral("read %1 %2").arg(pasada).arg(LineTrace::quoted(Respuesta)));
    emit polled(pasada, Respuesta);
    if (!Respuesta.isEmpty())
        Recibido = true;
    Pasada = Pasada + 1;
    if (Pasada == Passes + 1) {
        Recibido = true;
        // Only a wait that heard nothing times out; a reply first seen by the
        // last poll is still the board's answer and is shown.
        if (Respuesta.isEmpty()) {
            Respuesta = BoardProtocol::TimeoutMarker;
            m_timedOut = true;
        }
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
    if (m_timedOut) {
        LINE_TRACE(QStringLiteral("time-out, shown as %1").arg(LineTrace::quoted(Respuesta)));
    } else {
        // At 2400 baud a reply takes 25 ms to arrive, and an adapter hands it
        // over in pieces: what came after the read that first saw text is
        // the rest of the same reply.
        const QByteArray rest = serie->readAll();
        LINE_TRACE(QStringLiteral("read at end %1").arg(LineTrace::quoted(rest)));
        Respuesta += rest;
        LINE_TRACE(QStringLiteral("shown %1").arg(LineTrace::quoted(Respuesta.left(6))));
    }
    setStatus(BoardProtocol::decodeReply(Respuesta));
    m_phase = Phase::Idle;
    emit exchangeFinished(m_orden, Respuesta);
    if (m_phase == Phase::Idle)   // a slot may have asked for more already
        startNext();
}

void DeviceDialogue::refuse(const QByteArray &orden)
{
    LINE_TRACE(QStringLiteral("refused %1: no port open").arg(LineTrace::quoted(orden)));
    emit refused(orden, SerialChannel::notOpenMessage());
}

void DeviceDialogue::setStatus(const StatusFields &status)
{
    m_status = status;
    emit statusChanged(status);
}
