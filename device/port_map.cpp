#include "port_map.h"

#include <QSerialPortInfo>

PortMap::PortMap()
{
    m_devices[0] = defaultDevice(1);
    m_devices[1] = defaultDevice(2);
}

QString PortMap::defaultDevice(qint16 port)
{
#ifdef Q_OS_WIN
    return QStringLiteral("COM%1").arg(port);
#else
    return QStringLiteral("/dev/ttyS%1").arg(port - 1);
#endif
}

QString PortMap::device(qint16 port) const
{
    if (port == 1 || port == 2)
        return m_devices[port - 1];
    return defaultDevice(port);
}

void PortMap::setDevice(qint16 port, const QString &device)
{
    if (port == 1 || port == 2)
        m_devices[port - 1] = device;
}

QStringList PortMap::systemPorts()
{
    QStringList lines;
    const auto ports = QSerialPortInfo::availablePorts();
    for (const QSerialPortInfo &info : ports) {
        QString line = info.systemLocation();
        if (!info.description().isEmpty())
            line += QStringLiteral("  %1").arg(info.description());
        if (!info.manufacturer().isEmpty())
            line += QStringLiteral("  (%1)").arg(info.manufacturer());
        if (info.hasVendorIdentifier() && info.hasProductIdentifier())
            line += QStringLiteral("  [%1:%2]")
                        .arg(info.vendorIdentifier(), 4, 16, QLatin1Char('0'))
                        .arg(info.productIdentifier(), 4, 16, QLatin1Char('0'));
        lines << line;
    }
    return lines;
}
