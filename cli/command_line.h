#pragma once

#include "exit_code.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QStringList>

#include <cstdio>

class Translations;

// What programador and board-emulator do alike on the command line: -h/--help
// and -v/--version, help that fits an 80-column terminal, a mistake reported
// on standard error as "<program>: <what>" with a pointer to --help, and the
// exit codes that go with them, all in the user's language. On Windows the
// words go to the console the program was started from, or a message box.
namespace CommandLine {

// The arguments as given, in the system's encoding.
QStringList arguments(int argc, char *argv[]);

// A write to a pipe or socket whose reader has gone fails with EPIPE instead
// of ending the process by SIGPIPE. Unix only; Windows has no such signal.
void ignoreBrokenPipe();

// Written and flushed at once, after what the standard streams' line
// writers still hold, so it keeps its place among Qt's messages; a
// reader that has gone is no failure. Where the stream reaches nobody (a
// Windows program started from Explorer) the text is shown in a message box
// instead, as Qt's own parser does.
void print(FILE *stream, const QString &text);

// Whether stream is a terminal (on Windows a console).
bool isTerminal(FILE *stream);

// Breaks text at spaces into lines of at most `width` characters; a word
// longer than that stands alone on its line.
QString wrapped(const QString &text, qsizetype width = 79);

// Sets the description and adds -h/--help and -v/--version, in the language
// of the translators installed now.
void describe(QCommandLineParser &parser, const QString &description);

// "<program>: <what>" and the pointer to --help.
QString mistake(const QString &what);

enum class Request { Proceed, Help, Version, Mistake };

// Parses; an unknown option, a missing value or more than `positionals`
// arguments is a mistake, whose text goes to *what.
Request parse(QCommandLineParser &parser, const QStringList &arguments, QString *what,
              qsizetype positionals = 0);

// Prints the help, the version or the mistake; gives the exit code.
int answer(Request request, const QCommandLineParser &parser, const QString &mistake);

// An application object with no display and the user's language installed.
// Its only argument is the program's name, which Qt's usage line shows as
// given, not as the path it was started by.
class TextApplication
{
    Q_DISABLE_COPY_MOVE(TextApplication)

public:
    explicit TextApplication(Translations &translations);

private:
    QByteArray m_name;
    char *m_argv[2];
    int m_argc = 1;
    QCoreApplication m_app;
};

} // namespace CommandLine
