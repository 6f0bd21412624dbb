#include "session_file.h"

#include "board_protocol.h"

#include <QStringDecoder>

#include <algorithm>
#include <utility>

namespace SessionFile {

namespace {

QString tr(const char *text) { return QCoreApplication::translate("SessionFile", text); }

struct Word
{
    QString text;
    int column;   // from 1
};

// Words and the column each starts at; '#' ends the line.
QList<Word> wordsOf(const QString &line)
{
    QList<Word> words;
    qsizetype i = 0;
    while (i < line.size() && line.at(i) != u'#') {
        if (line.at(i).isSpace()) {
            ++i;
            continue;
        }
        const qsizetype start = i;
        while (i < line.size() && !line.at(i).isSpace() && line.at(i) != u'#')
            ++i;
        words.append({line.mid(start, i - start), int(start + 1)});
    }
    return words;
}

bool is(const Word &word, std::initializer_list<const char *> names)
{
    return std::any_of(names.begin(), names.end(), [&word](const char *name) {
        const QLatin1String candidate(name);
        return candidate.size() == word.text.size()
            && word.text.compare(candidate, Qt::CaseInsensitive) == 0;
    });
}

// A megabyte of steps is mostly the same few: their texts and bytes made once.
template<int Low, int High>
struct NumberedSteps
{
    NumberedSteps(const char *asked, QByteArray (*command)(qint16))
    {
        for (int n = Low; n <= High; ++n) {
            names[n - Low] = QLatin1String(asked) + QString::number(n);
            bytes[n - Low] = command(qint16(n));
        }
    }
    QString names[High - Low + 1];
    QByteArray bytes[High - Low + 1];
};

const NumberedSteps<1, 10> &minuteSteps()
{
    static const NumberedSteps<1, 10> steps("Min ", BoardProtocol::minuteCommand);
    return steps;
}

const NumberedSteps<0, 7> &bitSteps()
{
    static const NumberedSteps<0, 7> steps("Bit ", BoardProtocol::bitCommand);
    return steps;
}

std::optional<qint16> number(const Word &word, int low, int high)
{
    const QString &t = word.text;
    if (t.isEmpty() || t.size() > 4
        || !std::all_of(t.cbegin(), t.cend(), [](QChar c) { return c >= u'0' && c <= u'9'; }))
        return std::nullopt;
    const int value = t.toInt();
    if (value < low || value > high)
        return std::nullopt;
    return qint16(value);
}

const char *const StepWords = QT_TRANSLATE_NOOP(
    "SessionFile", "expected one of: Com1, Com2, Min, Bit, Ejecutar, Conectar, Minutos, Bit/Min, "
                   "Programar, Start, expect (or minute, bit, mode, connect, erase-minute, "
                   "erase-cell, program, start)");

// What the lines read so far leave for the next.
struct ParseState
{
    QStringList codes;      // what expect allows now
    QList<Step> steps;
    bool noPortTold = false;   // commands before any port: said once, for the first
};

// One line's words into steps; false with *mistake set on the first fault.
class LineParser
{
    Q_DECLARE_TR_FUNCTIONS(SessionFile)

public:
    LineParser(int line, const QList<Word> &words, ParseState *state, Mistake *mistake)
        : m_line(line), m_words(words), m_state(state), m_codes(&state->codes),
          m_steps(&state->steps), m_mistake(mistake)
    {
    }

    bool parse()
    {
        const Word &head = m_words.first();
        if (is(head, {"com1", "com2"}))
            return portPick(head.text.endsWith(u'2') ? 2 : 1) && end(1);
        if (is(head, {"min", "minute"}))
            return minute();
        if (is(head, {"bit"})) {
            const auto bit = value(1, 0, 7, tr("a bit from 0 to 7"));
            return bit && bitStep(*bit) && end(2);
        }
        if (is(head, {"ejecutar", "mode"}))
            return mode() && end(2);
        if (is(head, {"expect"}))
            return expect();
        struct Plain { std::initializer_list<const char *> names; QString asked; QByteArray command; };
        static const Plain plain[] = {
            {{"conectar", "connect"}, QStringLiteral("Conectar"), BoardProtocol::connectCommand()},
            {{"minutos", "erase-minute"}, QStringLiteral("Minutos"), BoardProtocol::eraseMinutesCommand()},
            {{"bit/min", "erase-cell"}, QStringLiteral("Bit/Min"), BoardProtocol::eraseBitMinuteCommand()},
            {{"programar", "program"}, QStringLiteral("Programar"), BoardProtocol::programCommand()},
            {{"start"}, QStringLiteral("Start"), BoardProtocol::startCommand()},
        };
        for (const Plain &p : plain) {
            if (is(head, p.names))
                return command(p.asked, p.command) && end(1);
        }
        return fail(head.column, tr("unknown step '%1'; %2").arg(head.text, tr(StepWords)));
    }

private:
    bool fail(int column, const QString &what)
    {
        *m_mistake = {m_line, column, what};
        return false;
    }

    // Nothing after the step's own words.
    bool end(qsizetype used, const QString &expected = QString())
    {
        if (m_words.size() <= used)
            return true;
        return fail(m_words.at(used).column,
                    tr("unexpected '%1' after %2; expected %3")
                        .arg(m_words.at(used).text, m_words.first().text,
                             expected.isEmpty() ? tr("the end of the line") : expected));
    }

    // The number at word `at` in [low, high]; a missing word is reported as
    // "<previous word> needs <wanted>" (so an empty range reports only that).
    std::optional<qint16> value(qsizetype at, int low, int high, const QString &wanted)
    {
        if (at >= m_words.size()) {
            const Word &last = m_words.last();
            fail(last.column + int(last.text.size()),
                 tr("%1 needs %2").arg(m_words.at(at - 1).text, wanted));
            return std::nullopt;
        }
        const auto n = number(m_words.at(at), low, high);
        if (!n)
            fail(m_words.at(at).column, tr("'%1' is not %2").arg(m_words.at(at).text, wanted));
        return n;
    }

    bool command(const QString &asked, const QByteArray &bytes, Field field = Field::None,
                 qint16 expected = 0)
    {
        // Every step but a port's needs one before it: none yet, no port yet.
        if (m_steps->isEmpty()) {
            if (std::exchange(m_state->noPortTold, true))
                return true;   // the same fault as the first, mended with it
            return fail(m_words.first().column,
                        tr("%1 comes before any port; expected Com1 or Com2 first")
                            .arg(m_words.first().text));
        }
        m_steps->append({m_line, asked, 0, bytes, field, expected, *m_codes});
        return true;
    }

    bool minuteStep(qint16 minute)
    {
        return command(minuteSteps().names[minute - 1], minuteSteps().bytes[minute - 1],
                       Field::Minute, minute);
    }
    bool bitStep(qint16 bit)
    {
        return command(bitSteps().names[bit], bitSteps().bytes[bit], Field::Bit, bit);
    }
    bool modeStep(qint16 mode)
    {
        return command(mode ? QStringLiteral("Ejecutar Sec.") : QStringLiteral("Ejecutar Una"),
                       BoardProtocol::modeCommand(mode), Field::Mode, mode);
    }

    // What picking the port in the window does: open it, then what it sends.
    bool portPick(qint16 port)
    {
        const QString asked = QStringLiteral("Com%1").arg(port);
        m_steps->append({m_line, asked, port, {}, Field::None, 0, *m_codes});
        for (const BoardProtocol::Command &c : BoardProtocol::portPickCommands())
            m_steps->append({m_line, asked, 0, c.bytes, c.field, c.value, *m_codes});
        return true;
    }

    // "Min N", or "Min N Bits B ...": the minute, then Bit and Programar for each bit.
    bool minute()
    {
        const auto minute = value(1, 1, 10, tr("a minute from 1 to 10"));
        if (!minute || !minuteStep(*minute))
            return false;
        if (m_words.size() <= 2)
            return true;
        if (!is(m_words.at(2), {"bits"}))
            return end(2, tr("Bits or the end of the line"));
        if (m_words.size() == 3)
            return bool(value(3, 0, 7, tr("a bit from 0 to 7")));
        for (qsizetype i = 3; i < m_words.size(); ++i) {
            const auto bit = value(i, 0, 7, tr("a bit from 0 to 7"));
            if (!bit || !bitStep(*bit)
                || !command(QStringLiteral("Programar"), BoardProtocol::programCommand()))
                return false;
        }
        return true;
    }

    bool mode()
    {
        const QString wanted = tr("a mode: Una or Sec. (once or sequence)");
        if (m_words.size() < 2)
            return bool(value(1, 0, 0, wanted));
        const Word &word = m_words.at(1);
        if (is(word, {"una", "once"}))
            return modeStep(0);
        if (is(word, {"sec.", "sec", "sequence"}))
            return modeStep(1);
        return fail(word.column, tr("'%1' is not %2").arg(word.text, wanted));
    }

    bool expect()
    {
        const QString wanted = tr("status codes of two characters, such as OK, or any");
        if (m_words.size() < 2)
            return bool(value(1, 0, -1, wanted));
        if (is(m_words.at(1), {"any"})) {
            m_codes->clear();
            return end(2);
        }
        QStringList codes;
        for (qsizetype i = 1; i < m_words.size(); ++i) {
            const QString &code = m_words.at(i).text;
            if (code.size() != 2 || code.at(0).unicode() > 0x7e || code.at(1).unicode() > 0x7e)
                return fail(m_words.at(i).column, tr("'%1' is not %2").arg(code, wanted));
            codes << code;
        }
        *m_codes = codes;
        return true;
    }

    int m_line;
    const QList<Word> &m_words;
    ParseState *m_state;
    QStringList *m_codes;
    QList<Step> *m_steps;
    Mistake *m_mistake;
};

// The first byte that is not text: a NUL or a broken UTF-8 sequence.
std::optional<qsizetype> firstNonText(const QByteArray &text)
{
    if (const qsizetype nul = text.indexOf('\0'); nul >= 0)
        return nul;
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString decoded = decoder.decode(text);
    if (!decoder.hasError())
        return std::nullopt;
    const qsizetype bad = decoded.indexOf(QChar::ReplacementCharacter);
    return bad < 0 ? 0 : QString(decoded.left(bad)).toUtf8().size();
}

// The first line longer than MaxLineLength characters (UTF-8 continuation
// bytes do not count), found before anything else so that a line of a
// megabyte is named as such, not as a file too large.
std::optional<int> firstLongLine(const QByteArray &text)
{
    int line = 1;
    int length = 0;
    for (const char c : text) {
        if (c == '\n') {
            ++line;
            length = 0;
        } else if ((uchar(c) & 0xc0) != 0x80 && c != '\r' && ++length > MaxLineLength) {
            return line;
        }
    }
    return std::nullopt;
}

// What makes the text no session file at all, if anything does.
std::optional<Mistake> wholeFileMistake(const QByteArray &text)
{
    if (const auto line = firstLongLine(text))
        return Mistake{*line, MaxLineLength + 1,
                       tr("the line is longer than %1 characters").arg(MaxLineLength)};
    if (text.size() > MaxFileSize)
        return Mistake{0, 0, tr("the file is larger than 1 MiB")};
    if (const auto bad = firstNonText(text)) {
        const qsizetype lineStart = text.lastIndexOf('\n', *bad - 1) + 1;
        const int line = int(text.left(*bad).count('\n')) + 1;
        const int column = int(QString::fromUtf8(text.mid(lineStart, *bad - lineStart)).size()) + 1;
        return Mistake{line, column,
                       tr("not a text file: byte 0x%1")
                           .arg(uchar(text.at(*bad)), 2, 16, QLatin1Char('0'))};
    }
    return std::nullopt;
}

void note(Mistakes *mistakes, const Mistake &mistake)
{
    if (mistakes->listed.size() < MaxMistakes)
        mistakes->listed.append(mistake);
    else
        ++mistakes->more;
}

} // namespace

std::optional<QList<Step>> parse(const QByteArray &text, Mistakes *mistakes)
{
    *mistakes = {};
    if (const auto mistake = wholeFileMistake(text)) {
        note(mistakes, *mistake);
        return std::nullopt;
    }
    QString all = QString::fromUtf8(text);
    // As Windows editors save UTF-8.
    if (all.startsWith(QChar::ByteOrderMark))
        all.remove(0, 1);
    ParseState state;
    const QStringList lines = all.split(u'\n');
    for (qsizetype i = 0; i < lines.size(); ++i) {
        QString line = lines.at(i);
        if (line.endsWith(u'\r'))
            line.chop(1);
        const QList<Word> words = wordsOf(line);
        if (words.isEmpty())
            continue;
        // Each line on its own: a wrong one is named, and the next still read.
        Mistake mistake;
        if (!LineParser(int(i + 1), words, &state, &mistake).parse())
            note(mistakes, mistake);
    }
    if (!mistakes->listed.isEmpty())
        return std::nullopt;
    if (state.steps.isEmpty()) {
        note(mistakes, {0, 0, tr("no steps: the file holds only comments and blank lines")});
        return std::nullopt;
    }
    return state.steps;
}

std::optional<QList<Step>> parse(const QByteArray &text, Mistake *mistake)
{
    Mistakes mistakes;
    auto steps = parse(text, &mistakes);
    if (!steps)
        *mistake = mistakes.listed.first();
    return steps;
}

QString describe(const QString &fileName, const Mistakes &mistakes)
{
    QStringList lines;
    for (const Mistake &m : mistakes.listed) {
        lines << (m.line > 0 ? QStringLiteral("%1:%2:%3: %4").arg(fileName).arg(m.line)
                                   .arg(m.column).arg(m.what)
                             : QStringLiteral("%1: %2").arg(fileName, m.what));
    }
    if (mistakes.more > 0)
        lines << tr("%1: and %2 more").arg(fileName).arg(mistakes.more);
    return lines.join(u'\n');
}

qsizetype exchangeCount(const QList<Step> &steps)
{
    return std::count_if(steps.cbegin(), steps.cend(), [](const Step &s) { return s.port == 0; });
}

} // namespace SessionFile
