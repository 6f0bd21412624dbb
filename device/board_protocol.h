#pragma once

#include <QByteArray>
#include <QList>
#include <QMetaType>
#include <QString>

#include <chrono>
#include <optional>

// The board's wire protocol as pure functions: the command texts the panel
// sends and the decoding of the six-character reply into its fields.
// Commands are plain ASCII with no terminator; the board parses them as a stream.
namespace BoardProtocol {

// The number as the board expects it: a sign position (space or '-') then the
// decimal digits, e.g. 10 -> " 10". The board relies on that extra space.
QByteArray signedNumber(qint16 value);

QByteArray connectCommand();                 // "I1"
QByteArray minuteCommand(qint16 minute);     // "I2P  1 "
QByteArray bitCommand(qint16 bit);           // "I3P  0 "
QByteArray programCommand();                 // "I4"
QByteArray eraseMinutesCommand();            // "I5"
QByteArray eraseBitMinuteCommand();          // "I6"
QByteArray modeCommand(qint16 mode);         // "I7P  1 "
QByteArray startCommand();                   // "I8"

// The field of the reply that a command sets, and so must carry back.
enum class Field { None, Minute, Bit, Mode };

struct Command
{
    QByteArray bytes;
    Field field = Field::None;
    qint16 value = 0;   // what that field is set to

    bool operator==(const Command &) const = default;
};

// What a port pick sends once the port is open, in this order: minute 1,
// bit 0 and mode Sec. (as if picked in the lists), then Conectar. Every
// pick, even of the port in use, brings the board back to this.
QList<Command> portPickCommands();

// What a wait that heard nothing decodes as: "NO" and four spaces.
inline constexpr char TimeoutMarker[] = "NO    ";

// A whole reply, in characters.
inline constexpr qsizetype ReplyLength = 6;
// One character on the line: start bit, eight data bits and stop bit at
// 2400 baud; rounded up.
inline constexpr std::chrono::nanoseconds CharTime{4'166'667};

// The reply's fields as the board sent them, one character per byte
// (Latin-1); short replies give short or empty fields.
struct ReplyFields
{
    QString code;     // characters 1-2: the board's status code
    QString minute;   // 3-4
    QString bit;      // 5
    QString mode;     // 6: "0" once, "1" sequence, anything else says no mode

    // The minute, bit or mode as a number, if the field holds one: "03",
    // " 3" and "3" all say 3; a mode only "0" or "1".
    std::optional<qint16> valueOf(Field field) const;

    bool operator==(const ReplyFields &) const = default;
};

// Characters after the sixth are ignored.
ReplyFields decodeReply(const QByteArray &reply);

// How a mode the board reports reads to people: "One" (0) or "Sec." (1).
QString modeName(qint16 mode);

} // namespace BoardProtocol

Q_DECLARE_METATYPE(BoardProtocol::ReplyFields)
