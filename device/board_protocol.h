#pragma once

#include <QByteArray>
#include <QMetaType>
#include <QString>

// The board's wire protocol as pure functions: the command texts the panel
// sends and the decoding of the six-character reply into what the window shows.
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

// What a wait that heard nothing decodes as: "NO" and four spaces.
inline constexpr char TimeoutMarker[] = "NO    ";

// The four status boxes, named as the window's boxes.
struct StatusFields
{
    QString LBRX;        // reply characters 1-2: the board's status code
    QString LbMin;       // characters 3-4: minute
    QString LbBit;       // character 5: bit
    QString LbEjecutar;  // character 6: "One" for '0', "Sec." for '1', else empty

    bool operator==(const StatusFields &) const = default;
};

// Decodes a reply. Short replies give short or empty fields; characters after
// the sixth are ignored. Bytes map one to one onto characters (Latin-1).
StatusFields decodeReply(const QByteArray &reply);

} // namespace BoardProtocol

Q_DECLARE_METATYPE(BoardProtocol::StatusFields)
