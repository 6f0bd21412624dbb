#pragma once

#include <QString>
#include <QStringList>

// Which system device stands behind "Com1" and "Com2".
class PortMap
{
public:
    PortMap();   // the platform's first two serial ports

    QString device(qint16 port) const;
    void setDevice(qint16 port, const QString &device);

    static QString defaultDevice(qint16 port);
    // The serial ports this system has, one line each: device, description, ids.
    static QStringList systemPorts();

private:
    QString m_devices[2];
};
