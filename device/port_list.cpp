#include "port_list.h"

#include "port_map.h"
#include "serial_channel.h"

#include <QSerialPortInfo>

#include <algorithm>

namespace PortList {

QStringList describe(const PortMap &ports)
{
    const QList<QSerialPortInfo> listed = PortMap::listedPorts();
    QStringList marks;
    qsizetype width = qsizetype(qstrlen("Com1"));
    for (const QSerialPortInfo &info : listed) {
        QStringList names;
        for (qint16 port : ports.entriesAt(info.systemLocation()))
            names << SerialChannel::portLabel(port);
        marks << names.join(QLatin1Char(' '));
        width = std::max(width, marks.last().size());
    }
    QStringList lines;
    for (qsizetype i = 0; i < listed.size(); ++i) {
        const QSerialPortInfo &info = listed.at(i);
        // The devices start in one column, two spaces after the widest mark.
        QString line =
            marks.at(i).leftJustified(width) + QStringLiteral("  ") + PortMap::deviceOf(info);
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

} // namespace PortList
