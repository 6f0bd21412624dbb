#include "command_parser.h"

#include <algorithm>
#include <utility>

namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }

enum class Next { More, Complete, Unexpected };

// What byte `c` does to the unfinished command `pending` (which starts with 'I').
Next classify(const QByteArray &pending, char c)
{
    const qsizetype n = pending.size();
    if (n == 1) {
        switch (c) {
        case '1': case '4': case '5': case '6': case '8': return Next::Complete;
        case '2': case '3': case '7': return Next::More;
        default: return Next::Unexpected;
        }
    }
    if (n == 2) return c == 'P' ? Next::More : Next::Unexpected;
    if (n == 3) return c == ' ' ? Next::More : Next::Unexpected;
    if (n == 4) return (c == ' ' || c == '-') ? Next::More : Next::Unexpected;   // sign position
    if (n == 5) return isDigit(c) ? Next::More : Next::Unexpected;              // at least one digit
    if (isDigit(c)) return Next::More;
    return c == ' ' ? Next::Complete : Next::Unexpected;
}

} // namespace

std::optional<CommandParser::Command> CommandParser::feed(char c)
{
    switch (m_pending.isEmpty() ? Next::Unexpected : classify(m_pending, c)) {
    case Next::More:
        m_pending.append(c);
        // Too long to be a command: the rest of it is junk of the same run.
        if (m_pending.size() >= MaxKept)
            m_junk = std::exchange(m_pending, {});
        return std::nullopt;
    case Next::Complete:
        m_pending.append(c);
        return takeComplete();
    case Next::Unexpected:
        break;
    }
    if (c == 'I') {
        // Junk or a broken command ends here, and the 'I' starts the next command.
        std::optional<Command> ended = endInProgress();
        m_pending = QByteArrayLiteral("I");
        return ended;
    }
    // A broken command and whatever junk follows it until the next 'I' (or a
    // pause) make one invalid command, answered once.
    m_junk += std::exchange(m_pending, {});
    if (m_junk.size() < MaxKept)
        m_junk.append(c);
    return std::nullopt;
}

std::optional<CommandParser::Command> CommandParser::endInProgress()
{
    if (heldBytes() == 0)
        return std::nullopt;
    // Never both: a run of junk or an unfinished command.
    return Command{std::exchange(hasJunk() ? m_junk : m_pending, {})};
}

CommandParser::Command CommandParser::takeComplete()
{
    Command command{std::exchange(m_pending, {}), true};
    command.code = command.text.at(1);
    if (command.text.size() > 2) {
        // Digits sit between the sign position and the closing space; the
        // value is clamped early so a long run of digits cannot overflow.
        int value = 0;
        for (qsizetype i = 5; i < command.text.size() - 1; ++i)
            value = std::min(value * 10 + (command.text.at(i) - '0'), 1000);
        command.value = command.text.at(4) == '-' ? -value : value;
    }
    return command;
}
