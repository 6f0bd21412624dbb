#pragma once

#include <QByteArray>

#include <optional>

// How the board splits the byte stream from the panel into commands, kept
// apart from the pseudo-terminal and the clock so it can be checked (and
// fuzzed) on its own. The board's timing reaches it through two calls:
// lineWentQuiet() and giveUpUnfinished().
//
// Grammar: 'I' then '1', '4', '5', '6' or '8'; or 'I' then '2', '3' or '7',
// 'P', a space, a sign position (space or '-'), one or more digits, a space.
// Anything else is junk; a run of junk is one invalid command.
class CommandParser
{
public:
    // Longest command or junk run kept; the rest of a longer run is counted only.
    static constexpr qsizetype MaxKept = 64;

    struct Command
    {
        QByteArray text;          // the bytes, first MaxKept only
        qsizetype length = 0;     // every byte the command took from the stream
        bool wellFormed = false;  // false: junk or a command cut short
        char code = 0;            // '1'..'8' when well formed
        int value = 0;            // the number of I2/I3/I7, clamped to +-1000

        bool operator==(const Command &) const = default;
    };

    // What one byte did.
    struct Step
    {
        std::optional<Command> ended;   // the command this byte ended (at most one)
        bool began = false;             // a new command started with this byte
        bool junk = false;              // the byte went into a run of junk
    };

    Step feed(char c);
    // The line has been quiet long enough: a run of junk ends here.
    std::optional<Command> lineWentQuiet();
    // A command left unfinished for too long is dropped as invalid.
    std::optional<Command> giveUpUnfinished();
    void reset();

    bool hasUnfinished() const { return !m_pending.isEmpty(); }
    bool hasJunk() const { return m_junkLength > 0; }
    // Bytes held for the command or junk run in progress: never above MaxKept.
    qsizetype heldBytes() const { return m_pending.size() + m_junk.size(); }

private:
    Command takeJunk();
    Command takePending(bool wellFormed);
    void addJunk(char c);

    QByteArray m_pending;      // an unfinished command, always starting with 'I'
    QByteArray m_junk;         // a run of junk, first MaxKept bytes
    qsizetype m_junkLength = 0;
};
