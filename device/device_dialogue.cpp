#include "device_dialogue.h"

#include "line_trace.h"
#include "serial_channel.h"

#include <algorithm>

using namespace std::chrono_literals;

DeviceDialogue::DeviceDialogue(SerialChannel *channel, QObject *parent)
    : QObject(parent), serie(channel)
{
    m_timer.setSingleShot(true);
    // Coarse timers may fire 5% late: 15 ms on a 300 ms wait.
    m_timer.setTimerType(Qt::PreciseTimer);
    connect(&m_timer, &QTimer::timeout, this, [this] {
        if (m_phase == Phase::Waiting && m_pace == Pace::Line)
            lineDeadline();
        else if (m_phase == Phase::Waiting)
            pass(m_due);
        else if (m_phase == Phase::Ending)
            finish();
    });
    connect(serie, &SerialChannel::errorOccurred, this, [this](SerialChannel::Failure failure) {
        if (failure != SerialChannel::Failure::Lost)
            return;
        // Reported once; what was asked of that port goes with it.
        dropCommandsFor(m_openingInUse);
        if (m_phase == Phase::Waiting || m_phase == Phase::Ending) {
            m_timer.stop();
            m_phase = Phase::Idle;
            startNext();   // work for a port picked since
        }
        noteBusy();
    });
}

void DeviceDialogue::setPace(Pace pace)
{
    if (pace == m_pace)
        return;
    m_pace = pace;
    // Only the line's pace listens for bytes: the window's reads at its passes.
    if (pace == Pace::Line)
        connect(serie, &SerialChannel::received, this, &DeviceDialogue::takeReply);
    else
        disconnect(serie, &SerialChannel::received, this, &DeviceDialogue::takeReply);
}

void DeviceDialogue::EnviaOrden(const QByteArray &orden)
{
    if (!serie->isOpen() && !hasPortSwitchQueued() && m_phase != Phase::Switching) {
        refuse(orden);
        return;
    }
    m_queue.enqueue(Command{orden, m_openingsAsked});
    if (m_phase == Phase::Idle)
        startNext();
    noteBusy();
}

bool DeviceDialogue::switchPort(qint16 port)
{
    const PortSwitch work{port, ++m_openingsAsked};
    if (m_phase == Phase::Idle && m_queue.isEmpty())
        return runSwitch(work);
    m_queue.enqueue(work);
    noteBusy();
    return true;
}

bool DeviceDialogue::hasPortSwitchQueued() const
{
    return std::any_of(m_queue.cbegin(), m_queue.cend(),
                       [](const Work &w) { return std::holds_alternative<PortSwitch>(w); });
}

bool DeviceDialogue::runSwitch(const PortSwitch &work)
{
    m_phase = Phase::Switching;
    if (serie->isOpen())
        serie->close();
    serie->setPortNumber(work.port);
    const bool opened = serie->open();
    m_phase = Phase::Idle;
    if (opened)
        m_openingInUse = work.opening;
    else
        dropCommandsFor(work.opening);   // the channel has said why, once for all of it
    emit portSwitched(work.port, opened);
    return opened;
}

void DeviceDialogue::dropCommandsFor(quint64 opening)
{
    m_queue.removeIf([opening](const Work &w) {
        const auto *command = std::get_if<Command>(&w);
        return command && command->opening == opening;
    });
}

void DeviceDialogue::cancelAll()
{
    m_queue.clear();
    m_timer.stop();
    m_phase = Phase::Idle;
    noteBusy();
}

void DeviceDialogue::startNext()
{
    while (!m_queue.isEmpty()) {
        const Work work = m_queue.dequeue();
        if (const auto *portSwitch = std::get_if<PortSwitch>(&work)) {
            runSwitch(*portSwitch);
            continue;
        }
        const Command &command = std::get<Command>(work);
        m_orden = command.orden;
        if (!serie->isOpen()) {
            refuse(m_orden);
            continue;
        }
        m_phase = Phase::Waiting;
        m_writtenAt = m_now();
        if (!serie->write(m_orden)) {
            // The channel has said why; the rest asked of this port goes too.
            m_phase = Phase::Idle;
            dropCommandsFor(command.opening);
            continue;
        }
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
    if (const QByteArray stale = serie->readAll(); !stale.isEmpty())
        qCDebug(lcLine) << "discarded" << stale;
    Recibido = false;
    Respuesta.clear();
    emit statusChanged({});
    m_timedOut = false;
    if (m_pace == Pace::Line) {
        // Bytes are taken as they come; silence ends where the window's would.
        m_phase = Phase::Waiting;
        scheduleAt(m_writtenAt + Passes * PassPeriod);
        return;
    }
    Pasada = 1;
    pass(m_writtenAt);
}

void DeviceDialogue::takeReply()
{
    if (m_phase != Phase::Waiting && m_phase != Phase::Ending)
        return;
    const QByteArray more = serie->readAll();
    if (more.isEmpty())
        return;
    qCDebug(lcLine) << "read" << more;
    Respuesta += more;
    if (Respuesta.size() < BoardProtocol::ReplyLength)
        return;
    // Whole: the end once the line has been quiet, so that whatever the board
    // adds is taken here, not by the next command's wait; never past the
    // deadline, whatever a chattering board keeps sending.
    m_phase = Phase::Ending;
    scheduleAt(std::min(m_now() + QuietTime, m_writtenAt + Passes * PassPeriod));
}

void DeviceDialogue::lineDeadline()
{
    // What came in untold is the reply's too; nothing at all is a time-out.
    const QByteArray more = serie->readAll();
    qCDebug(lcLine) << "read at deadline" << more;
    Respuesta += more;
    if (Respuesta.isEmpty()) {
        Respuesta = BoardProtocol::TimeoutMarker;
        m_timedOut = true;
    }
    finish();
}

void DeviceDialogue::pass(Clock::time_point readAt)
{
    const int pasada = int(Pasada);
    Respuesta = serie->readAll();
    qCDebug(lcLine) << "read" << pasada << Respuesta;
    if (!Respuesta.isEmpty())
        Recibido = true;
    Pasada = Pasada + 1;
    if (Pasada == Passes + 1) {
        Recibido = true;
        // Only a wait that heard nothing times out; a reply first seen by the
        // last read is still the board's answer and is shown.
        if (Respuesta.isEmpty()) {
            Respuesta = BoardProtocol::TimeoutMarker;
            m_timedOut = true;
        }
    }
    // The next read, or the end, one pass period after this read was due (a
    // late timer delays nothing after it); silence ends three after the write.
    m_phase = Recibido ? Phase::Ending : Phase::Waiting;
    scheduleAt(m_timedOut ? m_writtenAt + Passes * PassPeriod : readAt + PassPeriod);
}

void DeviceDialogue::scheduleAt(Clock::time_point due)
{
    m_due = due;
    // Rounded up: never before it is due.
    m_timer.start(std::max(std::chrono::ceil<std::chrono::milliseconds>(due - m_now()), 0ms));
}

void DeviceDialogue::finish()
{
    if (m_timedOut) {
        qCDebug(lcLine) << "time-out, shown as" << Respuesta;
    } else {
        // A reply takes 25 ms at 2400 baud and an adapter hands it over in
        // pieces: what came after the read that saw text is its rest.
        const QByteArray rest = serie->readAll();
        qCDebug(lcLine) << "read at end" << rest;
        Respuesta += rest;
        qCDebug(lcLine) << "shown" << Respuesta.left(6);
    }
    emit statusChanged(BoardProtocol::decodeReply(Respuesta));
    m_phase = Phase::Idle;
    emit exchangeFinished(m_orden, Respuesta, m_timedOut);
    if (m_phase == Phase::Idle)   // a slot may have asked for more already
        startNext();
}

void DeviceDialogue::refuse(const QByteArray &orden)
{
    qCDebug(lcLine).nospace() << "refused " << orden << ": no port open";
    emit refused(orden, SerialChannel::notOpenMessage());
}
