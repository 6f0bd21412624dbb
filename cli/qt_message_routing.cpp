#include "qt_message_routing.h"

#include <QString>

#include <atomic>
#include <chrono>

#ifdef Q_OS_WIN
#include "standard_streams.h"
#include "windows_console.h"
#endif

using namespace std::chrono_literals;

namespace QtMessageRouting {

namespace {

std::atomic<LineWriter *> s_messages = nullptr;
std::atomic<const char *> s_routedCategory = nullptr;
std::atomic<LineWriter *> s_routedWriter = nullptr;
QtMessageHandler s_beforeMessages = nullptr;
#ifdef Q_OS_WIN
bool s_messagesReachNobody = false;
#endif

void forwardMessage(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    LineWriter *const routedTo = s_routedWriter;
    const bool routed = routedTo && qstrcmp(context.category, s_routedCategory) == 0;
#ifdef Q_OS_WIN
    // No console, file or pipe: Qt's own handler, which tells a debugger.
    if (s_messagesReachNobody && !routed)
        return s_beforeMessages(type, context, message);
#endif
    const QString line = qFormatLogMessage(type, context, message);
    if (line.isNull())
        return;   // the pattern leaves it out
    LineWriter *const writer = routed ? routedTo : s_messages.load();
    if (type == QtFatalMsg) {
        // Qt aborts once this returns: what came before, then this, first.
        writer->drain(1s);
        writer->writeLine(line.toLocal8Bit());
        writer->drain(1s);
        return;
    }
    writer->writeLine(line.toLocal8Bit());
}

} // namespace

QtMessageHandler routeTo(LineWriter &writer)
{
    s_messages = &writer;
#ifdef Q_OS_WIN
    s_messagesReachNobody = &writer == &StandardStreams::error() && !WindowsConsole::reaches(stderr);
#endif
    const QtMessageHandler before = qInstallMessageHandler(forwardMessage);
    if (before != forwardMessage)
        s_beforeMessages = before;
    return before;
}

void routeCategory(const char *category, LineWriter *writer)
{
    s_routedWriter = nullptr;
    s_routedCategory = category;
    s_routedWriter = writer;
}

} // namespace QtMessageRouting
