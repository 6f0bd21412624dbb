// Any byte stream, with pauses at places the input picks, through the
// emulated board's command parser.
#include "command_parser.h"

#include <cstdint>
#include <cstdlib>
#include <optional>

#define CHECK(cond) do { if (!(cond)) { std::abort(); } } while (0)

namespace {

using Command = CommandParser::Command;

// The grammar, written out again independently of the parser.
bool matchesGrammar(const QByteArray &t)
{
    if (t.size() < 2 || t.at(0) != 'I')
        return false;
    if (QByteArray("14568").contains(t.at(1)))
        return t.size() == 2;
    if (!QByteArray("237").contains(t.at(1)) || t.size() < 7)
        return false;
    if (t.at(2) != 'P' || t.at(3) != ' ' || (t.at(4) != ' ' && t.at(4) != '-') || !t.endsWith(' '))
        return false;
    for (qsizetype i = 5; i < t.size() - 1; ++i)
        if (t.at(i) < '0' || t.at(i) > '9')
            return false;
    return true;
}

struct Checker
{
    CommandParser parser;
    QByteArray stream;       // every byte fed so far
    qsizetype accounted = 0; // bytes of the stream that ended up in a command
    Command last;

    // A command that took the stream's bytes up to `end`.
    void ended(const Command &c, qsizetype end)
    {
        // Bounded, in stream order, nothing lost or made up.
        const qsizetype length = end - accounted;
        CHECK(length > 0);
        CHECK(c.text == stream.mid(accounted, qMin(length, CommandParser::MaxKept)));
        accounted = end;
        CHECK(c.wellFormed == matchesGrammar(c.text));
        if (c.wellFormed) {
            CHECK(length == c.text.size());
            CHECK(c.value >= -1000 && c.value <= 1000);
            reparse(c);
        }
        last = c;
    }

    // A well-formed command read again on its own gives the same command,
    // at its last byte and not before.
    static void reparse(const Command &c)
    {
        CommandParser fresh;
        for (qsizetype i = 0; i < c.text.size(); ++i) {
            const std::optional<Command> ended = fresh.feed(c.text.at(i));
            CHECK(!fresh.hasJunk());
            CHECK(ended.has_value() == (i == c.text.size() - 1));
            if (ended)
                CHECK(*ended == c);
        }
        CHECK(fresh.heldBytes() == 0 && !fresh.hasJunk());
    }

    void feed(char c)
    {
        stream.append(c);
        if (const std::optional<Command> e = parser.feed(c)) {
            // A byte ends a command it completes; anything invalid it ends
            // is cut off by an 'I' that starts the next command.
            if (!e->wellFormed)
                CHECK(c == 'I' && parser.hasUnfinished() && parser.heldBytes() == 1);
            ended(*e, stream.size() - (e->wellFormed ? 0 : 1));
        }
        CHECK(!(parser.hasUnfinished() && parser.hasJunk()));
        CHECK(parser.heldBytes() <= CommandParser::MaxKept);
    }

    void timeOut()
    {
        if (const auto c = parser.endInProgress()) {
            CHECK(!c->wellFormed);
            ended(*c, stream.size());
        }
        CHECK(parser.heldBytes() == 0);
    }
};

const char *const ValidCommands[] = {
    "I1", "I4", "I5", "I6", "I8", "I2P  1 ", "I2P  10 ", "I3P  7 ", "I7P  0 ", "I7P -1 ", "I3P  0099 ",
};

} // namespace

// Input: one control byte, then the stream. The control byte says how often
// the command or junk run in progress runs out of time (0: never).
extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0)
        return 0;
    const unsigned timeOutEvery = data[0];

    Checker check;
    for (size_t i = 1; i < size; ++i) {
        check.feed(char(data[i]));
        if (timeOutEvery && i % timeOutEvery == 0)
            check.timeOut();
    }

    // Whatever came before, a valid command is recognised as soon as it is whole.
    const QByteArray valid = ValidCommands[size % std::size(ValidCommands)];
    for (const char c : valid)
        check.feed(c);
    CHECK(check.last.text == valid && check.last.wellFormed);
    CHECK(check.parser.heldBytes() == 0 && !check.parser.hasJunk());

    // Flushed, every byte is in exactly one command.
    check.timeOut();
    CHECK(check.accounted == check.stream.size());
    return 0;
}
