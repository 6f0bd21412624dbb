#include "qt_serial_channel.h"

#include <QFileInfo>
#include <QMetaObject>

#include <utility>

// Enough to empty a pseudo-terminal's or a USB adapter's buffer in one read,
// yet a device that floods without pause cannot hold a read for long.
static constexpr int MaxDrainRounds = 1024;

QtSerialChannel::QtSerialChannel(const PortMap &ports, QObject *parent)
    : SerialChannel(parent), m_ports(ports)
{
    applyLineSettings();
    connect(&m_port, &QSerialPort::errorOccurred, this, &QtSerialChannel::onPortError);
    // Take bytes in as they come, even between reads: with Qt's buffer full,
    // Qt would stop watching the line and miss a hang-up until the next command.
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
    return m_ports.device(m_portNumber);
}

QString QtSerialChannel::portText() const
{
    return QStringLiteral("%1 (%2)").arg(portLabel(m_portNumber), deviceName());
}

void QtSerialChannel::report(Failure failure, const QString &message)
{
    emit errorOccurred(failure, message);
}

bool QtSerialChannel::open()
{
    if (isOpen())
        return true;
    if (m_port.isOpen()) {
        // A loss not yet handled: drop that port before trying again.
        m_lossPending = false;
        m_port.blockSignals(true);
        m_port.close();
        m_port.blockSignals(false);
    }

    const QString device = deviceName();
    m_port.setPortName(device);
    applyLineSettings();
    m_port.clearError();
    m_received.clear();
    if (m_port.open(QIODevice::ReadWrite)) {
        m_lossPending = false;
        return true;
    }

    const QSerialPort::SerialPortError error = m_port.error();
    const QString osText = m_port.errorString();
    m_port.clearError();
    const QString head = QStringLiteral("Cannot open %1: ").arg(portText());

    // Only Unix names devices by path; "COM1" is no file to look for.
    const bool missingPath = device.startsWith(QLatin1Char('/')) && !QFileInfo::exists(device);
    if (error == QSerialPort::DeviceNotFoundError || missingPath) {
        report(Failure::NoSuchDevice,
               head + QStringLiteral("there is no such device (%1).").arg(osText));
    } else if (error == QSerialPort::PermissionError) {
        const QFileInfo info(device);
        if (!info.isReadable() || !info.isWritable()) {
            // Joining root is never the advice; serial ports belong to dialout.
            QString group = info.group();
            if (group.isEmpty() || group == QLatin1String("root"))
                group = QStringLiteral("dialout");
            report(Failure::PermissionDenied,
                   head + QStringLiteral("permission denied (%1). Your user may need to join "
                                         "the group that owns the device, %2: "
                                         "sudo usermod -aG %2 $USER, then log in again.")
                              .arg(osText, group));
        } else {
            report(Failure::Busy,
                   head + QStringLiteral("the device is busy or locked by another program (%1). "
                                         "Close that program and pick the port again.")
                              .arg(osText));
        }
    } else {
        report(Failure::Other, head + osText + QLatin1Char('.'));
    }
    return false;
}

void QtSerialChannel::close()
{
    m_lossPending = false;
    if (m_port.isOpen())
        m_port.close();
    m_port.clearError();
}

void QtSerialChannel::setPortNumber(qint16 port)
{
    // Like the board's original control: the port is fixed while open.
    if (!m_port.isOpen())
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
    // Also take what the OS holds that Qt has not picked up yet. A zero wait
    // that finds nothing is reported by Qt as a timeout: not a failure.
    for (int round = 0; round < MaxDrainRounds && isOpen() && m_port.waitForReadyRead(0); ++round)
        takeIn();
    if (m_port.error() == QSerialPort::TimeoutError)
        m_port.clearError();
    return std::exchange(m_received, {});
}

void QtSerialChannel::onPortError(QSerialPort::SerialPortError error)
{
    switch (error) {
    case QSerialPort::NoError:
    case QSerialPort::TimeoutError:
    case QSerialPort::NotOpenError:
        return;
    case QSerialPort::ResourceError:
    case QSerialPort::ReadError:
    case QSerialPort::WriteError:
    case QSerialPort::UnknownError:
        break;
    default:
        // Settings and open errors are handled where they happen.
        return;
    }
    if (!m_port.isOpen() || m_lossPending)
        return;
    // Qt keeps reporting a hung-up line in a tight loop; note the first report
    // and close from the event loop, outside Qt's own notifier handler.
    m_lossPending = true;
    m_lossReason = m_port.errorString();
    QMetaObject::invokeMethod(this, &QtSerialChannel::closeAfterLoss, Qt::QueuedConnection);
}

void QtSerialChannel::closeAfterLoss()
{
    if (!m_lossPending)
        return;   // closed (or reopened) by the program in the meantime
    m_lossPending = false;
    m_port.blockSignals(true);
    m_port.close();
    m_port.clearError();
    m_port.blockSignals(false);
    report(Failure::Lost,
           QStringLiteral("Lost the connection on %1: the device went away (%2). "
                          "The port was closed; pick a port to connect again.")
               .arg(portText(), m_lossReason));
}
