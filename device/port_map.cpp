#include "port_map.h"

#include <QSerialPortInfo>

#include <algorithm>

PortMap::PortMap()
{
#ifdef Q_OS_WIN
    m_fixed[0] = QStringLiteral("COM1");
    m_fixed[1] = QStringLiteral("COM2");
#endif
}

QString PortMap::fromList(const QStringList &listed, qint16 port)
{
    if (port < 1 || port > listed.size())
        return {};
    return listed.at(port - 1);
}

QString PortMap::device(qint16 port) const
{
    if (port != 1 && port != 2)
        return {};
    if (!m_fixed[port - 1].isEmpty())
        return m_fixed[port - 1];
    return fromList(m_lister ? m_lister() : listedDevices(), port);
}

void PortMap::setDevice(qint16 port, const QString &device)
{
    if (port == 1 || port == 2)
        m_fixed[port - 1] = device;
}

void PortMap::setLister(Lister lister)
{
    m_lister = std::move(lister);
}

// "ttyUSB10" sorts after "ttyUSB9": compare the name, then its trailing number.
static bool naturalLess(const QString &a, const QString &b)
{
    auto split = [](const QString &s) {
        qsizetype i = s.size();
        while (i > 0 && s.at(i - 1).isDigit())
            --i;
        return std::pair{s.left(i), i < s.size() ? s.mid(i).toLongLong() : -1};
    };
    return split(a) < split(b);
}

// The name a user knows the port by: the device path on Unix; on Windows the
// port's own name (COM1), not its system location (\\.\COM1).
static QString deviceOf(const QSerialPortInfo &info)
{
#ifdef Q_OS_WIN
    return info.portName();
#else
    return info.systemLocation();
#endif
}

QList<QSerialPortInfo> PortMap::listedPorts()
{
    QList<QSerialPortInfo> ports = QSerialPortInfo::availablePorts();
    std::stable_sort(ports.begin(), ports.end(), [](const auto &a, const auto &b) {
        return naturalLess(deviceOf(a), deviceOf(b));
    });
    return ports;
}

QStringList PortMap::listedDevices()
{
    QStringList devices;
    for (const QSerialPortInfo &info : listedPorts())
        devices << deviceOf(info);
    return devices;
}

QStringList PortMap::describePorts() const
{
    const QString com1 = device(1);
    const QString com2 = device(2);
    QStringList lines;
    for (const QSerialPortInfo &info : listedPorts()) {
        const QString location = deviceOf(info);
        QString line = location == com1 ? QStringLiteral("Com1  ")
                     : location == com2 ? QStringLiteral("Com2  ")
                                        : QStringLiteral("      ");
        line += location;
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
