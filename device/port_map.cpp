#include "port_map.h"

#include <QFileInfo>
#include <QSerialPortInfo>

#include <algorithm>

PortMap::PortMap()
{
#ifdef Q_OS_WIN
    m_fixed[0] = QStringLiteral("COM1");
    m_fixed[1] = QStringLiteral("COM2");
#endif
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

QString PortMap::fromList(QStringList listed, qint16 port)
{
    if (port < 1 || port > listed.size())
        return {};
    std::stable_sort(listed.begin(), listed.end(), naturalLess);
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
    for (qint16 port : {1, 2}) {
        const QString name = device(port);
        if (!name.isEmpty() && systemPath(name) == here)
            entries << port;
    }
    return entries;
}

QStringList PortMap::describePorts() const
{
    const QList<QSerialPortInfo> ports = listedPorts();
    QStringList marks;
    qsizetype width = qsizetype(qstrlen("Com1"));
    for (const QSerialPortInfo &info : ports) {
        QStringList names;
        for (qint16 port : entriesAt(info.systemLocation()))
            names << QStringLiteral("Com%1").arg(port);
        marks << names.join(QLatin1Char(' '));
        width = std::max(width, marks.last().size());
    }
    QStringList lines;
    for (qsizetype i = 0; i < ports.size(); ++i) {
        const QSerialPortInfo &info = ports.at(i);
        // The devices start in one column, two spaces after the widest mark.
        QString line = marks.at(i).leftJustified(width) + QStringLiteral("  ") + deviceOf(info);
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
