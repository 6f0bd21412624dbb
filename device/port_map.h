#pragma once

#include <QString>
#include <QStringList>

#include <functional>

class QSerialPortInfo;

// Which system device stands behind "Com1" and "Com2". An entry is either
// fixed (--com1, --com2) or follows the system's list of serial ports: Com1
// is the first port listed, Com2 the second, looked up afresh every time, so
// an adapter plugged in after start is found. On Windows the entries are
// COM1 and COM2.
class PortMap
{
public:
    // The entries there are, Com1 and Com2: the one place that says so.
    static constexpr qint16 Ports[] = {1, 2};
    static constexpr bool isPort(qint16 port) { return port == 1 || port == 2; }

    // The system's serial devices, in the order they are listed to the user.
    using Lister = std::function<QStringList()>;

    // The device behind the entry right now; empty when the system lists too few ports.
    QString device(qint16 port) const;
    void setDevice(qint16 port, const QString &device);
    // Where listed devices come from; the system's own list by default.
    void setLister(Lister lister);

    // For entry n (1 or 2) the n-th listed device in natural order, or empty:
    // the whole rule, kept pure.
    static QString fromList(QStringList listed, qint16 port);

    // The system's serial ports in a stable, natural order (ttyS2 before ttyS10).
    static QList<QSerialPortInfo> listedPorts();
    static QStringList listedDevices();
    // The name a user knows a port by: the device path on Unix; on Windows
    // the port's own name (COM1), not its system location (\\.\COM1).
    static QString deviceOf(const QSerialPortInfo &info);
    // The entries (1, 2, both or none) whose name opens the device at location.
    QList<qint16> entriesAt(const QString &location) const;

    // The device a name really opens: on Unix a bare name ("ttyS0", "pts/3")
    // lives in /dev and links are followed; on Windows see windowsLocation.
    static QString systemPath(const QString &device);
    // "COM1", "com1" and "\\.\COM1" are one port: its "\\.\COM1" form.
    static QString windowsLocation(const QString &name);

private:
#ifdef Q_OS_WIN
    QString m_fixed[2] = {QStringLiteral("COM1"), QStringLiteral("COM2")};
#else
    QString m_fixed[2];
#endif
    Lister m_lister;
};
