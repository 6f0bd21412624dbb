#pragma once

#include <QByteArray>

#include <optional>

// How the board splits the byte stream from the panel into commands, kept
// apart from the pseudo-terminal and the clock so it can be checked (and
// fuzzed) on its own. The board's timing reaches it through one call:
// endInProgress(), when the command or junk run in progress has had its time.
//
// Grammar: 'I' then '1', '4', '5', '6' or '8'; or 'I' then '2', '3' or '7',
// 'P', a space, a sign position (space or '-'), one or more digits, a space.
// Anything else is junk; a run of junk is one invalid command.
class CommandParser
{
public:
    // Longest command or junk run kept; the rest of a longer run is dropped.
    static constexpr qsizetype MaxKept = 64;

    struct Command
    {
        QByteArray text;          // the bytes, first MaxKept only
        bool wellFormed = false;  // false: junk or a command cut short
        char code = 0;            // '1'..'8' when well formed
        int value = 0;            // the number of I2/I3/I7, clamped to +-1000

        bool operator==(const Command &) const = default;
    };

    // The command this byte ended, if any. A byte ends at most one: a
    // command it completes, or the junk or broken command before an 'I'
    // that starts the next one.
    std::optional<Command> feed(char c);
    // Ends the command or junk run in progress, if any, as invalid: the board
    // calls it when a run of junk met a quiet line, or a command took too long.
    std::optional<Command> endInProgress();

    bool hasUnfinished() const { return !m_pending.isEmpty(); }
    bool hasJunk() const { return !m_junk.isEmpty(); }
    // Bytes held for the command or junk run in progress: never above MaxKept.
    qsizetype heldBytes() const { return m_pending.size() + m_junk.size(); }

private:
    // The unfinished command, just completed.
    Command takeComplete();

    QByteArray m_pending;   // an unfinished command, always starting with 'I'
    QByteArray m_junk;      // a run of junk, first MaxKept bytes
};
