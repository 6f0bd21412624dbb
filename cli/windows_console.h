#pragma once

#include <QString>

#include <cstdio>

// A GUI program on Windows is given no console: its standard output and error
// lead nowhere unless whoever started it redirected them. Consoles take
// UTF-16: their code page is not the system's.
namespace WindowsConsole {

// Points standard output and error that lead nowhere at the console of the
// program we were started from (cmd, PowerShell), if it has one, and sends
// Qt's messages to standard error whenever it reaches someone.
void attach();
// Whether what is written to stream reaches anyone: a console, a file or a pipe.
bool reaches(FILE *stream);
// Whether the descriptor is a console.
bool isConsole(int fd);
// Writes text to the console fd in UTF-16; false if the console takes none of a piece.
bool write(int fd, const QString &text);
// Writes text to stream, after what its buffer holds, if it is a console:
// false if it is not one.
bool writeToConsole(FILE *stream, const QString &text);
// The text in a message box, with the error icon or the information icon.
void showMessage(const QString &text, bool error);

} // namespace WindowsConsole
