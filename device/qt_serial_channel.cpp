#include "qt_serial_channel.h"

#include "line_trace.h"

#include <QFileInfo>
#include <QMetaObject>

#include <utility>

QtSerialChannel::QtSerialChannel(const PortMap &ports, QObject *parent)
    : SerialChannel(parent), m_ports(ports)
{
    applyLineSettings();
    connect(&m_port, &QSerialPort::errorOccurred, this, &QtSerialChannel::onPortError);
    // Bytes are only ever read here, on Qt's own notifier: a read made
    // anywhere else leaves the notifier reading an empty line, which Qt
    // reports as an error that looks like a hang-up. Taking bytes in as they
    // come also keeps Qt's buffer from filling, which would stop it watching
    // the line and miss a hang-up until the next command.
    connect(&m_port, &QSerialPort::readyRead, this, &QtSerialChannel::takeIn);
}

QtSerialChannel::~QtSerialChannel()
{
    // Quietly: nobody is left to hear about it.
    m_port.blockSignals(true);
    if (m_port.isOpen())
        m_port.close();
}

void QtSerialChannel::applyLineSettings()
{
    m_port.setBaudRate(BaudRate);
    m_port.setDataBits(QSerialPort::Data8);
    m_port.setParity(QSerialPort::NoParity);
    m_port.setStopBits(QSerialPort::OneStop);
    m_port.setFlowControl(QSerialPort::NoFlowControl);
    // Bounded: Qt never holds more than this; takeIn() moves it on.
    m_port.setReadBufferSize(ReceiveBufferSize);
}

bool QtSerialChannel::isOpen() const
{
    return m_port.isOpen() && !m_lossPending;
}

QString QtSerialChannel::deviceName() const
{
    return m_port.isOpen() ? m_device : m_ports.device(m_portNumber);
}

void QtSerialChannel::report(Failure failure, const QString &message)
{
    LINE_TRACE(QStringLiteral("failure: %1").arg(message));
    emit errorOccurred(failure, message);
}

// Where the device really is: a bare name ("ttyUSB0") lives in /dev as Qt
// takes it, and a link (/dev/serial/by-id/...) is followed, so that every
// name of one device takes the same lock and a second opener is refused.
static QString systemPath(const QString &device)
{
#ifdef Q_OS_UNIX
    const QString path = device.startsWith(QLatin1Char('/')) ? device
                                                            : QStringLiteral("/dev/") + device;
    const QString canonical = QFileInfo(path).canonicalFilePath();
    return canonical.isEmpty() ? path : canonical;
#else
    return device;
#endif
}

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
    const QString path = systemPath(m_device);
    m_port.setPortName(path);
    applyLineSettings();
    m_port.clearError();
    m_received.clear();
    if (m_port.open(QIODevice::ReadWrite)) {
        LINE_TRACE(QStringLiteral("open %1 %2").arg(portLabel(m_portNumber), m_device));
        return true;
    }
    reportOpenFailure(path);
    return false;
}

void QtSerialChannel::reportOpenFailure(const QString &path)
{
    const QSerialPort::SerialPortError error = m_port.error();
    const QString osText = m_port.errorString();
    m_port.clearError();
    const QString port = portLabel(m_portNumber);

#ifdef Q_OS_UNIX
    const bool missing = !QFileInfo::exists(path);
#else
    Q_UNUSED(path)
    const bool missing = false;
#endif
    if (error == QSerialPort::DeviceNotFoundError || missing) {
        report(Failure::NoSuchDevice,
               tr("Cannot open %1 (%2): there is no such device (%3).")
                   .arg(port, m_device, osText));
        return;
    }
    if (error != QSerialPort::PermissionError) {
        report(Failure::Other, tr("Cannot open %1 (%2): %3.").arg(port, m_device, osText));
        return;
    }
#ifdef Q_OS_UNIX
    const QFileInfo info(path);
    if (!info.isReadable() || !info.isWritable()) {
        // Joining root is never the advice; serial ports belong to dialout.
        QString group = info.group();
        if (group.isEmpty() || group == QLatin1String("root"))
            group = QStringLiteral("dialout");
        report(Failure::PermissionDenied,
               tr("Cannot open %1 (%2): permission denied (%3). Your user may need to join the "
                  "group that owns the device, %4: sudo usermod -aG %4 $USER, then log in again.")
                   .arg(port, m_device, osText, group));
        return;
    }
#endif
    // Windows answers "access denied" for a port another program holds.
    report(Failure::Busy,
           tr("Cannot open %1 (%2): the device is busy or locked by another program (%3). "
              "Close that program and pick the port again.")
               .arg(port, m_device, osText));
}

void QtSerialChannel::close()
{
    m_lossPending = false;
    if (m_port.isOpen()) {
        m_port.close();
        LINE_TRACE(QStringLiteral("close %1 %2").arg(portLabel(m_portNumber), m_device));
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
    LINE_TRACE(QStringLiteral("write %1").arg(LineTrace::quoted(text)));
    if (m_port.write(text) != text.size())
        return false;   // the error handler reports it
    // Hand the bytes to the OS now rather than on the next loop iteration.
    m_port.flush();
    return true;
}

void QtSerialChannel::takeIn()
{
    // Beyond the receive buffer the bytes are lost, as on an overrun.
    const QByteArray more = m_port.readAll();
    m_received.append(more.left(qMax<qint64>(0, ReceiveBufferSize - m_received.size())));
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
    switch (error) {
    case QSerialPort::ResourceError:
    case QSerialPort::ReadError:
    case QSerialPort::WriteError:
    case QSerialPort::UnknownError:
        break;
    default:
        // Time-outs and not-open are no loss; settings and open errors are
        // handled where they happen.
        return;
    }
    if (!m_port.isOpen() || m_lossPending)
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
    m_port.blockSignals(true);
    m_port.close();
    m_port.clearError();
    m_port.blockSignals(false);
    LINE_TRACE(QStringLiteral("close %1 %2 (lost)").arg(portLabel(m_portNumber), m_device));
    report(Failure::Lost,
           tr("Lost the connection on %1 (%2): the device went away (%3). "
              "The port was closed; pick a port to connect again.")
               .arg(portLabel(m_portNumber), m_device, m_lossReason));
}
