#pragma once

#include "board_protocol.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

// A session file: the steps a person would take in the window, one a line,
// read and checked whole before anything is sent. Parsing is pure: text in,
// the exchanges to carry out (or the mistakes) out.
namespace SessionFile {

// What a reply must carry in its fields for the command it answers.
using Field = BoardProtocol::Field;

// One thing the session does, in order: open a port, or one exchange.
struct Step
{
    int line = 0;           // of the file, from 1
    QString asked;          // the step as the report names it: "Com1", "Min 3", "Programar"
    qint16 port = 0;        // 1 or 2: close, then open that port; no command
    QByteArray command;     // the bytes of one exchange (when port is 0)
    Field field = Field::None;
    qint16 value = 0;       // what that field must say
    QStringList codes;      // status codes that count as success; empty: any

    bool operator==(const Step &) const = default;
};

struct Mistake
{
    int line = 0;
    int column = 0;         // from 1, in characters
    QString what;           // in the user's language
};

// A file's mistakes in file order: the first MaxMistakes, and how many more.
struct Mistakes
{
    QList<Mistake> listed;
    qsizetype more = 0;
};

// Longest line, and longest file, taken; mistakes named.
inline constexpr int MaxLineLength = 1000;
inline constexpr qsizetype MaxFileSize = 1 << 20;
inline constexpr int MaxMistakes = 20;

// The steps, with a port pick expanded into what picking that port sends and
// "Min N Bits B ..." into the steps a person would take; or the mistakes:
// one per wrong line, or the one that makes it no session file at all (not
// text, too large, a line too long, no steps).
std::optional<QList<Step>> parse(const QByteArray &text, Mistakes *mistakes);
// The same, giving only the first mistake.
std::optional<QList<Step>> parse(const QByteArray &text, Mistake *mistake);

// The mistakes as --run tells them: "file:line:column: what" a line ("file:
// what" for the file as a whole), then how many more there are.
QString describe(const QString &fileName, const Mistakes &mistakes);

// The exchanges among steps.
qsizetype exchangeCount(const QList<Step> &steps);

} // namespace SessionFile
