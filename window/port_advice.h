#pragma once

#include "serial_channel.h"

#include <QCoreApplication>
#include <QString>
#include <QStringList>

// What the user can do about a port that failed: the words around the
// channel's own report. Built only from what the system says, so every case
// can be tried without root and without the hardware.
class PortAdvice
{
    Q_DECLARE_TR_FUNCTIONS(PortAdvice)

public:
    // For a failure the channel reported on device; empty when there is
    // nothing more to say.
    static QString forFailure(SerialChannel::Failure failure, const QString &device);
    // Opening was refused. group owns the device (empty if unknown);
    // groupMayOpen: its members may read and write it.
    static QString permissionDenied(const QString &group, bool groupMayOpen);
    // Windows' own ways: where it lists ports, what helps a USB adapter.
    static QString onWindows(SerialChannel::Failure failure);
};
