#include "board_protocol.h"

namespace BoardProtocol {

QByteArray signedNumber(qint16 value)
{
    const QByteArray digits = QByteArray::number(qAbs(int(value)));
    return (value < 0 ? QByteArray("-") : QByteArray(" ")) + digits;
}

static QByteArray withNumber(const char *head, qint16 value)
{
    return QByteArray(head) + ' ' + signedNumber(value) + ' ';
}

QByteArray connectCommand() { return QByteArrayLiteral("I1"); }
QByteArray minuteCommand(qint16 minute) { return withNumber("I2P", minute); }
QByteArray bitCommand(qint16 bit) { return withNumber("I3P", bit); }
QByteArray programCommand() { return QByteArrayLiteral("I4"); }
QByteArray eraseMinutesCommand() { return QByteArrayLiteral("I5"); }
QByteArray eraseBitMinuteCommand() { return QByteArrayLiteral("I6"); }
QByteArray modeCommand(qint16 mode) { return withNumber("I7P", mode); }
QByteArray startCommand() { return QByteArrayLiteral("I8"); }

StatusFields decodeReply(const QByteArray &reply)
{
    // mid() is lenient past the end, which is what short replies need.
    const QString text = QString::fromLatin1(reply.left(6));
    StatusFields fields;
    fields.LBRX = text.mid(0, 2);
    fields.LbMin = text.mid(2, 2);
    fields.LbBit = text.mid(4, 1);
    const QString mode = text.mid(5, 1);
    if (mode == QLatin1String("0"))
        fields.LbEjecutar = QStringLiteral("One");
    else if (mode == QLatin1String("1"))
        fields.LbEjecutar = QStringLiteral("Sec.");
    return fields;
}

} // namespace BoardProtocol
