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

QList<Command> portPickCommands()
{
    return {
        {minuteCommand(1), Field::Minute, 1},
        {bitCommand(0), Field::Bit, 0},
        {modeCommand(1), Field::Mode, 1},
        {connectCommand(), Field::None, 0},
    };
}

std::optional<qint16> ReplyFields::valueOf(Field field) const
{
    const auto number = [](const QString &text) -> std::optional<qint16> {
        bool ok = false;
        const QString trimmed = text.trimmed();
        const int value = trimmed.toInt(&ok);
        return ok && !trimmed.isEmpty() ? std::optional<qint16>(qint16(value)) : std::nullopt;
    };
    switch (field) {
    case Field::None:
        break;
    case Field::Minute:
        return number(minute);
    case Field::Bit:
        return number(bit);
    case Field::Mode:
        if (mode == QLatin1String("0"))
            return 0;
        if (mode == QLatin1String("1"))
            return 1;
        break;
    }
    return std::nullopt;
}

ReplyFields decodeReply(const QByteArray &reply)
{
    // mid() is lenient past the end, which is what short replies need.
    const QString text = QString::fromLatin1(reply.left(6));
    return {text.mid(0, 2), text.mid(2, 2), text.mid(4, 1), text.mid(5, 1)};
}

QString modeName(qint16 mode)
{
    return mode == 0 ? QStringLiteral("One") : QStringLiteral("Sec.");
}

} // namespace BoardProtocol
