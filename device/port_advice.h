#pragma once

#include <QCoreApplication>
#include <QString>

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
};
