#pragma once

#include "serial_channel.h"

#include <QCoreApplication>
#include <QSerialPort>
#include <QString>

#include <utility>

// What the user is told when a port fails, worded for the case at hand.
// Built only from what the system said, so every case can be tried without
// root and without the hardware.
class PortAdvice
{
    Q_DECLARE_TR_FUNCTIONS(PortAdvice)

public:
    // Opening was refused. group owns the device (empty if unknown);
    // groupMayOpen: its members may read and write it.
    static QString permissionDenied(const QString &port, const QString &device,
                                    const QString &group, bool groupMayOpen);
    // The device went away while open; osText is the system's reason.
    static QString lost(const QString &port, const QString &device, const QString &osText);

    // Opening a COM port failed on Windows: error as Qt classed it, osText in
    // Windows' own words (FormatMessage's), device as the user knows it ("COM1").
    // A port held by another program is refused as "access denied".
    static std::pair<SerialChannel::Failure, QString> openFailedOnWindows(
        const QString &port, const QString &device, QSerialPort::SerialPortError error,
        const QString &osText);
};
