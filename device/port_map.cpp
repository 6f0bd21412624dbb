#include "port_map.h"

#include <QFileInfo>
#include <QSerialPortInfo>

#include <algorithm>

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

QString PortMap::fromList(QStringList listed, qint16 port)
{
    if (port < 1 || port > listed.size())
        return {};
    std::stable_sort(listed.begin(), listed.end(), naturalLess);
    return listed.at(port - 1);
}

QString PortMap::device(qint16 port) const
{
    if (!isPort(port))
        return {};
    if (!m_fixed[port - 1].isEmpty())
        return m_fixed[port - 1];
    return fromList(m_lister ? m_lister() : listedDevices(), port);
}

void PortMap::setDevice(qint16 port, const QString &device)
{
    if (isPort(port))
        m_fixed[port - 1] = device;
}

void PortMap::setLister(Lister lister)
{
    m_lister = std::move(lister);
}

QString PortMap::deviceOf(const QSerialPortInfo &info)
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

QString PortMap::windowsLocation(const QString &name)
{
    static const QString prefix = QStringLiteral("\\\\.\\");
    const QString bare = name.startsWith(prefix) ? name.mid(prefix.size()) : name;
    return prefix + bare.toUpper();
}

QString PortMap::systemPath(const QString &device)
{
#ifdef Q_OS_WIN
    return windowsLocation(device);
#else
    const QString path = device.startsWith(QLatin1Char('/')) ? device
                                                            : QStringLiteral("/dev/") + device;
    const QString canonical = QFileInfo(path).canonicalFilePath();
    return canonical.isEmpty() ? path : canonical;
#endif
}

QList<qint16> PortMap::entriesAt(const QString &location) const
{
    const QString here = systemPath(location);
    QList<qint16> entries;
    for (qint16 port : Ports) {
        const QString name = device(port);
        if (!name.isEmpty() && systemPath(name) == here)
            entries << port;
    }
    return entries;
}
