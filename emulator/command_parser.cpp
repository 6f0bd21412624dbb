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

CommandParser::Step CommandParser::feed(char c)
{
    Step step;
    if (m_pending.isEmpty()) {
        if (c == 'I') {
            if (hasJunk())
                step.ended = takeJunk();
            m_pending = QByteArrayLiteral("I");
            step.began = true;
        } else {
            addJunk(c);
            step.junk = true;
        }
        return step;
    }

    switch (classify(m_pending, c)) {
    case Next::More:
        m_pending.append(c);
        if (m_pending.size() >= MaxKept) {
            // Too long to be a command: the rest of it is junk of the same run.
            m_junk = std::exchange(m_pending, {});
            m_junkLength = m_junk.size();
            step.junk = true;
        }
        break;
    case Next::Complete:
        m_pending.append(c);
        step.ended = takePending(true);
        break;
    case Next::Unexpected:
        if (c == 'I') {
            // The broken command ends here and the 'I' starts the next one.
            step.ended = takePending(false);
            m_pending = QByteArrayLiteral("I");
            step.began = true;
        } else {
            // The broken command and whatever junk follows it until the next
            // 'I' (or a pause) make one invalid command, answered once.
            m_junk = std::exchange(m_pending, {});
            m_junkLength = m_junk.size();
            addJunk(c);
            step.junk = true;
        }
        break;
    }
    return step;
}

std::optional<CommandParser::Command> CommandParser::lineWentQuiet()
{
    if (!hasJunk())
        return std::nullopt;
    return takeJunk();
}

std::optional<CommandParser::Command> CommandParser::giveUpUnfinished()
{
    if (m_pending.isEmpty())
        return std::nullopt;
    return takePending(false);
}

void CommandParser::reset()
{
    m_pending.clear();
    m_junk.clear();
    m_junkLength = 0;
}

void CommandParser::addJunk(char c)
{
    if (m_junk.size() < MaxKept)
        m_junk.append(c);
    ++m_junkLength;
}

CommandParser::Command CommandParser::takeJunk()
{
    Command command;
    command.text = std::exchange(m_junk, {});
    command.length = std::exchange(m_junkLength, 0);
    return command;
}

CommandParser::Command CommandParser::takePending(bool wellFormed)
{
    Command command;
    command.text = std::exchange(m_pending, {});
    command.length = command.text.size();
    command.wellFormed = wellFormed;
    if (!wellFormed)
        return command;
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
