#include "program_end.h"

#include "command_line.h"
#include "message_pattern.h"
#include "qt_message_routing.h"
#include "standard_streams.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <utility>

#ifdef Q_OS_WIN
#include "windows_console.h"
#endif

namespace ProgramEnd {

namespace {

MessageFilter s_filter;
QtMessageHandler s_belowFilter = nullptr;

std::function<void()> s_forcedFirst;
int s_forcedExitCode = 0;

void filteredMessage(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (s_filter && s_filter(type, context, message))
        return;
    s_belowFilter(type, context, message);
}

extern "C" void atExit()
{
    StandardStreams::finish();
}

extern "C" void atForcedExit()
{
    if (!s_forcedFirst)
        return;   // main() returned: an end the program chose
    std::exchange(s_forcedFirst, nullptr)();
    // Past the rest of exit(): the first's own trace gets out with now().
    now(s_forcedExitCode);
}

} // namespace

void begin()
{
#ifdef Q_OS_WIN
    WindowsConsole::attach();
#endif
    CommandLine::ignoreBrokenPipe();
    CommandLine::useMessagePattern();
    QtMessageRouting::routeTo(StandardStreams::error());
    std::atexit(atExit);
}

void filterMessages(MessageFilter filter)
{
    if (!filter) {
        if (s_filter)
            qInstallMessageHandler(s_belowFilter);
        s_filter = nullptr;
        return;
    }
    const QtMessageHandler below = qInstallMessageHandler(filteredMessage);
    if (below != filteredMessage)
        s_belowFilter = below;
    s_filter = std::move(filter);
}

void armForcedEnd(std::function<void()> first, int exitCode)
{
    static const bool registered = std::atexit(atForcedExit) == 0;
    Q_UNUSED(registered);
    s_forcedFirst = std::move(first);
    s_forcedExitCode = exitCode;
}

void disarmForcedEnd()
{
    s_forcedFirst = nullptr;
}

void now(int exitCode)
{
    StandardStreams::drain(std::chrono::seconds(1));
    std::fflush(nullptr);
    std::_Exit(exitCode);
}

} // namespace ProgramEnd
