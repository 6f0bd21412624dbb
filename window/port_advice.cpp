#include "port_advice.h"

#include "port_map.h"

#include <QFileInfo>

using Failure = SerialChannel::Failure;

QString PortAdvice::forFailure(Failure failure, const QString &device)
{
    switch (failure) {
    case Failure::PermissionDenied: {
        const QFileInfo info(PortMap::systemPath(device));
        return permissionDenied(info.group(), info.permission(QFile::ReadGroup | QFile::WriteGroup));
    }
    case Failure::Busy:
        return tr("Close that program and pick the port again.");
    case Failure::Lost:
        return tr("The port was closed; pick a port to connect again.");
    default:
#ifdef Q_OS_WIN
        return onWindows(failure);
#else
        return {};
#endif
    }
}

QString PortAdvice::permissionDenied(const QString &group, bool groupMayOpen)
{
    if (!group.isEmpty() && group != QLatin1String("root") && groupMayOpen) {
        return tr("The device belongs to the group %1: join it with\n"
                  "    sudo usermod -aG %1 $USER\nthen log out and in again.")
            .arg(group);
    }
    // Joining root's group is no advice, nor joining a group that may not
    // open the device either: only a rule for the device itself helps.
    const QString why = group.isEmpty() || group == QLatin1String("root")
        ? tr("Only root may open it, so joining a group does not help.")
        : tr("Its group, %1, may not open it either, so joining a group does not help.")
              .arg(group);
    return why + u' '
        + tr("A udev rule with TAG+=\"uaccess\" lets the user at the desktop open it; "
             "man programador shows one. Or ask whoever runs this computer.");
}

QString PortAdvice::onWindows(Failure failure)
{
    if (failure == Failure::NoSuchDevice)
        return tr("Device Manager lists this computer's ports under \"Ports (COM & LPT)\". "
                  "A USB adapter's port appears there, with its COM number, once the "
                  "adapter is plugged in and its driver is installed.");
    if (failure == Failure::Other)
        return tr("If the port is on a USB adapter, unplug the adapter and plug it in "
                  "again; if that does not help, install its maker's driver.");
    return {};
}
