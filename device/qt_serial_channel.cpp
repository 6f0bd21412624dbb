#include "qt_serial_channel.h"

#include "line_trace.h"
#include "port_list.h"

#include <QFileInfo>
#include <QMetaObject>

#include <cerrno>
#include <csignal>
#include <utility>

#ifdef Q_OS_WIN
#include <qt_windows.h>
#endif

QtSerialChannel::QtSerialChannel(const PortMap &ports, QObject *parent)
    : SerialChannel(parent), m_ports(ports)
{
    // The port keeps its settings from one opening to the next.
    m_port.setBaudRate(BaudRate);
    m_port.setDataBits(QSerialPort::Data8);
    m_port.setParity(QSerialPort::NoParity);
    m_port.setStopBits(QSerialPort::OneStop);
    m_port.setFlowControl(QSerialPort::NoFlowControl);
    // Bounded: Qt never holds more than this; takeIn() moves it on.
    m_port.setReadBufferSize(ReceiveBufferSize);
    connect(&m_port, &QSerialPort::errorOccurred, this, &QtSerialChannel::onPortError);
    // Bytes are only ever read here, on Qt's own notifier: a read made
    // anywhere else leaves the notifier reading an empty line, which Qt
    // reports as an error that looks like a hang-up. Taking bytes in as they
    // come also keeps Qt's buffer from filling, which would stop it watching
    // the line and miss a hang-up until the next command.
    connect(&m_port, &QSerialPort::readyRead, this, [this] {
        if (takeIn())
            emit received();
    });
}

QtSerialChannel::~QtSerialChannel()
{
    // QSerialPort closes itself; quietly: nobody is left to hear about it.
    m_port.blockSignals(true);
}

bool QtSerialChannel::isOpen() const
{
    return m_port.isOpen() && !m_lossPending;
}

QString QtSerialChannel::deviceName() const
{
    return m_port.isOpen() ? m_device : m_ports.device(m_portNumber);
}

QStringList QtSerialChannel::describePorts() const
{
    return PortList::describe(m_ports);
}

void QtSerialChannel::report(Failure failure, const QString &message)
{
    qCDebug(lcLine) << "failure:" << message;
    emit errorOccurred(failure, message);
}

#ifdef Q_OS_UNIX
// The live process holding the device's lock the traditional way, or 0: a PID
// in ASCII (bare, or as minicom writes it: "%10d\n" then name and user) in
// /var/lock/LCK..name. Qt would judge such a lock stale and take the port.
static qint64 lockHolder(const QString &path)
{
    QFile lock(QStringLiteral("/var/lock/LCK..") + QFileInfo(path).fileName());
    if (!lock.open(QIODevice::ReadOnly))
        return 0;
    const qint64 pid = lock.readLine(64).trimmed().toLongLong();
    // EPERM: alive, but another user's.
    return pid > 0 && (::kill(pid_t(pid), 0) == 0 || errno == EPERM) ? pid : 0;
}
#else
static qint64 lockHolder(const QString &) { return 0; }
#endif

bool QtSerialChannel::open()
{
    if (isOpen())
        return true;
    settleLoss();

    m_device = m_ports.device(m_portNumber);
    if (m_device.isEmpty()) {
        report(Failure::NoSuchDevice,
               tr("Cannot open %1: this system lists no serial port for it.")
                   .arg(portLabel(m_portNumber)));
        return false;
    }
    // Every name of one device takes the same lock: a second opener is refused.
    const QString path = PortMap::systemPath(m_device);
    m_port.setPortName(path);
    m_port.clearError();
    const qint64 holder = lockHolder(path);
    if (!holder && m_port.open(QIODevice::ReadWrite)) {
        qCDebug(lcLine) << "open" << qUtf8Printable(portLabel(m_portNumber)) << m_device;
        return true;
    }
    reportOpenFailure(path, holder);
    return false;
}

// The system's words, to stand inside a sentence of ours: Windows' end in a
// full stop of their own.
static QString systemWords(const QString &osText)
{
    QString words = osText.trimmed();
    if (words.endsWith(u'.'))
        words.chop(1);
    return words;
}

void QtSerialChannel::reportOpenFailure(const QString &path, qint64 lockHolder)
{
    // A lock held by another program refuses the port as Qt's own lock does.
    QSerialPort::SerialPortError error =
        lockHolder ? QSerialPort::PermissionError : m_port.error();
    const QString osText = lockHolder ? tr("process %1 holds its lock").arg(lockHolder)
                                      : systemWords(m_port.errorString());
    m_port.clearError();
    const auto fail = [&](Failure failure, const QString &why) {
        report(failure, tr("Cannot open %1 (%2): %3.").arg(portLabel(m_portNumber), m_device, why));
    };

#ifdef Q_OS_UNIX
    const QFileInfo info(path);
    if (!info.exists())
        error = QSerialPort::DeviceNotFoundError;
    else if (error == QSerialPort::PermissionError && !(info.isReadable() && info.isWritable()))
        return fail(Failure::PermissionDenied, tr("permission denied"));
#else
    Q_UNUSED(path)
#endif
    // The system's words for a missing device would only say it again. Where
    // the user may open the device (and on Windows, which lets one program at
    // a time open a port), a refusal means another program holds it.
    if (error == QSerialPort::DeviceNotFoundError)
        fail(Failure::NoSuchDevice, tr("there is no such device"));
    else if (error == QSerialPort::PermissionError)
        fail(Failure::Busy, tr("the device is busy or locked by another program (%1)").arg(osText));
    else
        fail(Failure::Other, osText);
}

void QtSerialChannel::close()
{
    m_lossPending = false;
    if (m_port.isOpen()) {
        dropReceived();
        m_port.close();
        qCDebug(lcLine) << "close" << qUtf8Printable(portLabel(m_portNumber)) << m_device;
    }
    m_port.clearError();
}

void QtSerialChannel::setPortNumber(qint16 port)
{
    // Like the board's original control: the port is fixed while open. A
    // port lost but not yet reported is closed now, so the number always
    // names the port that is (or will be) open.
    if (isOpen())
        return;
    settleLoss();
    m_portNumber = port;
}

qint16 QtSerialChannel::portNumber() const
{
    return m_portNumber;
}

bool QtSerialChannel::write(const QByteArray &text)
{
    if (!isOpen()) {
        report(Failure::NotOpen, notOpenMessage());
        return false;
    }
    qCDebug(lcLine) << "write" << text;
    if (m_port.write(text) != text.size())
        return false;   // the error handler reports it
    // Hand the bytes to the OS now rather than on the next loop iteration.
    m_port.flush();
    return true;
}

bool QtSerialChannel::takeIn()
{
    // Beyond the receive buffer the bytes are lost, as on an overrun.
    const QByteArray more = m_port.readAll();
    const qsizetype room = qMax<qsizetype>(0, ReceiveBufferSize - m_received.size());
    if (more.size() > room)
        qCDebug(lcLine) << "overrun, discarded" << more.sliced(room);
    m_received.append(more.left(room));
    return !more.isEmpty() && room > 0;
}

void QtSerialChannel::dropReceived()
{
    // Nobody reads these any more, but every byte read is in the trace.
    takeIn();
    if (!m_received.isEmpty())
        qCDebug(lcLine) << "discarded" << std::exchange(m_received, {});
}

QByteArray QtSerialChannel::readAll()
{
    if (!isOpen())
        return {};
    takeIn();
    return std::exchange(m_received, {});
}

void QtSerialChannel::onPortError(QSerialPort::SerialPortError error)
{
    // Time-outs and not-open are no loss; settings and open errors are
    // handled where they happen.
    const bool loss = error == QSerialPort::ResourceError || error == QSerialPort::ReadError
        || error == QSerialPort::WriteError || error == QSerialPort::UnknownError;
    if (!loss || !m_port.isOpen() || m_lossPending)
        return;
    // Qt keeps reporting a hung-up line in a tight loop; note the first report
    // and close from the event loop, outside Qt's own notifier handler.
    m_lossPending = true;
    m_lossReason = m_port.errorString();
    QMetaObject::invokeMethod(this, &QtSerialChannel::settleLoss, Qt::QueuedConnection);
}

void QtSerialChannel::settleLoss()
{
    if (!m_lossPending)
        return;   // closed (or already settled) in the meantime
    m_lossPending = false;
    dropReceived();
    m_port.blockSignals(true);
    m_port.close();
    m_port.clearError();
    m_port.blockSignals(false);
    qCDebug(lcLine) << "close" << qUtf8Printable(portLabel(m_portNumber)) << m_device << "(lost)";
    report(Failure::Lost, lostMessage(m_portNumber, m_device, m_lossReason));
}

// Texts that only say, in the system's words, that the device is gone, or
// that are left over from an earlier call: they add nothing to "went away".
static bool addsNothing(const QString &words)
{
    if (words.isEmpty())
        return true;
#ifdef Q_OS_WIN
    // Windows' words for an adapter pulled out: the pipe broke, the device
    // is not connected, not ready or failed, the operation was cut short.
    // Not ready is also Wine's word for a line hung up at the far end.
    const int codes[] = {0, ERROR_FILE_NOT_FOUND, ERROR_GEN_FAILURE, ERROR_BAD_COMMAND,
                         ERROR_BROKEN_PIPE, ERROR_NOT_READY, ERROR_OPERATION_ABORTED,
                         ERROR_DEVICE_NOT_CONNECTED};
#else
    const int codes[] = {0, ENOENT, ENODEV, ENXIO, ENOTTY, EIO, EBADF, EAGAIN};
#endif
    for (int code : codes) {
        if (words == systemWords(qt_error_string(code)))
            return true;
    }
    return false;
}

QString QtSerialChannel::lostMessage(qint16 port, const QString &device, const QString &osText)
{
    const QString words = systemWords(osText);
    if (addsNothing(words))
        return tr("Lost the connection on %1 (%2): the device went away.")
            .arg(portLabel(port), device);
    return tr("Lost the connection on %1 (%2): the device went away (%3).")
        .arg(portLabel(port), device, words);
}
