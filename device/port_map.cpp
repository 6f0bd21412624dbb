#include "port_map.h"

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
