#pragma once

#include <QString>
#include <QtGlobal>

namespace CommandLine {

// How both programs write Qt's messages: a debug line, as the panel's trace
// and the emulator's log are, starts with the seconds since start to the
// millisecond, then its category ("     0.412 programador.line: ..."), so a
// panel trace and a board log read side by side. Other messages keep Qt's
// usual "<category>: <message>". Header-only: tests that link nothing of
// cli/ capture the trace with it too.
inline void useMessagePattern()
{
    qSetMessagePattern(QStringLiteral(
        "%{if-debug}%{time process} %{endif}%{if-category}%{category}: %{endif}%{message}"));
}

} // namespace CommandLine
