// Any byte stream, with pauses at places the input picks, through the
// emulated board's command parser.
#include "command_parser.h"

#include <cstdint>
#include <cstdlib>

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

    void ended(const Command &c)
    {
        // Bounded, in stream order, nothing lost or made up.
        CHECK(c.text.size() <= CommandParser::MaxKept);
        CHECK(c.text.size() == qMin(c.length, CommandParser::MaxKept));
        CHECK(c.length > 0);
        CHECK(c.text == stream.mid(accounted, c.text.size()));
        accounted += c.length;
        CHECK(c.wellFormed == matchesGrammar(c.text));
        if (c.wellFormed) {
            CHECK(c.length == c.text.size());
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
            const CommandParser::Step step = fresh.feed(c.text.at(i));
            CHECK(step.junk == false);
            CHECK(step.ended.has_value() == (i == c.text.size() - 1));
            if (step.ended)
                CHECK(*step.ended == c);
        }
        CHECK(fresh.heldBytes() == 0 && !fresh.hasJunk());
    }

    void feed(char c)
    {
        stream.append(c);
        const CommandParser::Step step = parser.feed(c);
        if (step.ended)
            ended(*step.ended);
        CHECK(!(parser.hasUnfinished() && parser.hasJunk()));
        CHECK(parser.heldBytes() <= CommandParser::MaxKept);
    }

    void quiet()
    {
        if (const auto c = parser.lineWentQuiet())
            ended(*c);
        CHECK(!parser.hasJunk());
    }

    void giveUp()
    {
        if (const auto c = parser.giveUpUnfinished()) {
            CHECK(!c->wellFormed);
            ended(*c);
        }
        CHECK(!parser.hasUnfinished());
    }
};

const char *const ValidCommands[] = {
    "I1", "I4", "I5", "I6", "I8", "I2P  1 ", "I2P  10 ", "I3P  7 ", "I7P  0 ", "I7P -1 ", "I3P  0099 ",
};

} // namespace

// Input: one control byte, then the stream. The control byte's low half says
// how often the line goes quiet, the high half how often an unfinished
// command is given up (0: never).
extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0)
        return 0;
    const unsigned quietEvery = (data[0] & 0x0f) * 3;
    const unsigned giveUpEvery = (data[0] >> 4) * 5;

    Checker check;
    for (size_t i = 1; i < size; ++i) {
        check.feed(char(data[i]));
        if (quietEvery && i % quietEvery == 0)
            check.quiet();
        if (giveUpEvery && i % giveUpEvery == 0)
            check.giveUp();
    }

    // Whatever came before, a valid command is recognised as soon as it is whole.
    const QByteArray valid = ValidCommands[size % std::size(ValidCommands)];
    for (const char c : valid)
        check.feed(c);
    CHECK(check.last.text == valid && check.last.wellFormed);
    CHECK(check.parser.heldBytes() == 0 && !check.parser.hasJunk());

    // Flushed, every byte is in exactly one command.
    check.giveUp();
    check.quiet();
    CHECK(check.accounted == check.stream.size());
    return 0;
}
