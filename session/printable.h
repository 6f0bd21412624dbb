#pragma once

#include <QByteArray>
#include <QString>

// Bytes from the board as text safe to print and to store: printable ASCII
// as it is, a backslash doubled, anything else as \xNN, so a board's bytes
// never reach a terminal as control codes.
inline QByteArray printable(const QByteArray &bytes)
{
    QByteArray out;
    for (const char c : bytes) {
        const auto u = uchar(c);
        if (c == '\\')
            out += "\\\\";
        else if (u >= 0x20 && u < 0x7f)
            out += c;
        else
            out += "\\x" + QByteArray::number(u, 16).rightJustified(2, '0');
    }
    return out;
}

inline QString printable(const QString &latin1) { return QString::fromLatin1(printable(latin1.toLatin1())); }
