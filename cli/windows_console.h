#pragma once

#include <QString>

#include <cstdio>

// A GUI program on Windows is given no console: its standard output and error
// lead nowhere unless whoever started it redirected them.
namespace WindowsConsole {

// Points standard output and error that lead nowhere at the console of the
// program we were started from (cmd, PowerShell), if it has one, and sends
// Qt's messages to standard error whenever it reaches someone.
void attach();
// Whether what is written to stream reaches anyone: a console, a file or a pipe.
bool reaches(FILE *stream);
// Writes text to stream if it is a console, in UTF-16 as consoles take it
// (their code page is not the system's): false if it is not a console.
bool writeToConsole(FILE *stream, const QString &text);
// The text in a message box, with the error icon or the information icon.
void showMessage(const QString &text, bool error);

} // namespace WindowsConsole
