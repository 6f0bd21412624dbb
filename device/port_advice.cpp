#include "port_advice.h"

#include <cerrno>

QString PortAdvice::permissionDenied(const QString &port, const QString &device,
                                     const QString &group, bool groupMayOpen)
{
    const QString refused = tr("Cannot open %1 (%2): permission denied.").arg(port, device);
    if (!group.isEmpty() && group != QLatin1String("root") && groupMayOpen) {
        return refused + QStringLiteral("\n\n")
            + tr("The device belongs to the group %1: join it with\n"
                 "    sudo usermod -aG %1 $USER\nthen log out and in again.")
                  .arg(group);
    }
    // Joining root's group is no advice, nor joining a group that may not
    // open the device either: only a rule for the device itself helps.
    const QString why = group.isEmpty() || group == QLatin1String("root")
        ? tr("Only root may open it, so joining a group does not help.")
        : tr("Its group, %1, may not open it either, so joining a group does not help.")
              .arg(group);
    return refused + QStringLiteral("\n\n") + why + u' '
        + tr("A udev rule with TAG+=\"uaccess\" lets the user at the desktop open it; "
             "man programador shows one. Or ask whoever runs this computer.");
}

// Texts that only say, in the system's words, that the device is gone, or
// that are left over from an earlier call: they add nothing to "went away".
static bool addsNothing(const QString &osText)
{
    if (osText.isEmpty())
        return true;
    for (int code : {0, ENOENT, ENODEV, ENXIO, ENOTTY, EIO, EBADF, EAGAIN}) {
        if (osText == qt_error_string(code))
            return true;
    }
    return false;
}

QString PortAdvice::lost(const QString &port, const QString &device, const QString &osText)
{
    const QString closed = tr("The port was closed; pick a port to connect again.");
    if (addsNothing(osText))
        return tr("Lost the connection on %1 (%2): the device went away.").arg(port, device)
            + u' ' + closed;
    return tr("Lost the connection on %1 (%2): the device went away (%3).")
               .arg(port, device, osText)
        + u' ' + closed;
}

std::pair<SerialChannel::Failure, QString> PortAdvice::openFailedOnWindows(
    const QString &port, const QString &device, QSerialPort::SerialPortError error,
    const QString &osText)
{
    using Failure = SerialChannel::Failure;
    // FormatMessage's texts end in a full stop of their own.
    const QString said = osText.trimmed();
    switch (error) {
    case QSerialPort::DeviceNotFoundError:
        return {Failure::NoSuchDevice,
                tr("Cannot open %1 (%2): Windows has no such port (%3)").arg(port, device, said)
                    + QStringLiteral("\n\n")
                    + tr("Device Manager lists this computer's ports under \"Ports (COM & LPT)\". "
                         "A USB adapter's port appears there, with its COM number, once the "
                         "adapter is plugged in and its driver is installed.")};
    case QSerialPort::PermissionError:
        return {Failure::Busy,
                tr("Cannot open %1 (%2): another program is using the port (%3) Close that "
                   "program and pick the port again.")
                    .arg(port, device, said)};
    default:
        return {Failure::Other,
                tr("Cannot open %1 (%2): %3").arg(port, device, said) + QStringLiteral("\n\n")
                    + tr("If the port is on a USB adapter, unplug the adapter and plug it in "
                         "again; if that does not help, install its maker's driver.")};
    }
}
