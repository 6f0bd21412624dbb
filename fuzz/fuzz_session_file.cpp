// Any bytes as a session file, through the parser that checks it whole
// before a session sends anything.
#include "board_protocol.h"
#include "session_file.h"

#include <cstdint>
#include <cstdlib>

#define CHECK(cond) do { if (!(cond)) { std::abort(); } } while (0)

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    using namespace SessionFile;
    const QByteArray text(reinterpret_cast<const char *>(data), qsizetype(size));
    const int lines = int(text.count('\n')) + 1;
    Mistake mistake;
    const auto steps = parse(text, &mistake);
    if (!steps) {
        // A mistake names a real place (0: the file as a whole) and says something.
        CHECK(mistake.line >= 0 && mistake.line <= lines && !mistake.what.isEmpty());
        CHECK(mistake.line == 0 ? mistake.column == 0 : mistake.column >= 1);
        return 0;
    }
    CHECK(!steps->isEmpty() && steps->first().port != 0);
    int line = 0;
    for (const Step &s : *steps) {
        // In file order, on real lines.
        CHECK(s.line >= line && s.line >= 1 && s.line <= lines);
        line = s.line;
        for (const QString &code : s.codes)
            CHECK(code.size() == 2);
        if (s.port != 0) {
            CHECK((s.port == 1 || s.port == 2) && s.command.isEmpty());
            continue;
        }
        // Only the board's own commands, with values it takes.
        using namespace BoardProtocol;
        switch (s.field) {
        case Field::Minute:
            CHECK(s.value >= 1 && s.value <= 10 && s.command == minuteCommand(s.value));
            break;
        case Field::Bit:
            CHECK(s.value >= 0 && s.value <= 7 && s.command == bitCommand(s.value));
            break;
        case Field::Mode:
            CHECK((s.value == 0 || s.value == 1) && s.command == modeCommand(s.value));
            break;
        case Field::None:
            CHECK(s.command == connectCommand() || s.command == programCommand()
                  || s.command == eraseMinutesCommand() || s.command == eraseBitMinuteCommand()
                  || s.command == startCommand());
            break;
        }
    }
    // Parsing is pure: the same text, the same steps.
    Mistake again;
    CHECK(parse(text, &again) == steps);
    return 0;
}
