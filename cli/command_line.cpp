#include "command_line.h"

#include "standard_streams.h"
#include "translations.h"

#include <chrono>
#include <csignal>

#ifdef Q_OS_WIN
#include "windows_console.h"
#else
#include <unistd.h>
#endif

namespace CommandLine {

QStringList arguments(int argc, char *argv[])
{
    QStringList list;
    for (int i = 0; i < argc; ++i)
        list << QString::fromLocal8Bit(argv[i]);
    return list;
}

void ignoreBrokenPipe()
{
#ifdef Q_OS_UNIX
    std::signal(SIGPIPE, SIG_IGN);
#endif
}

void print(FILE *stream, const QString &text)
{
    StandardStreams::drain(std::chrono::seconds(1));
#ifdef Q_OS_WIN
    if (!WindowsConsole::reaches(stream)) {
        WindowsConsole::showMessage(text.trimmed(), stream == stderr);
        return;
    }
    if (WindowsConsole::writeToConsole(stream, text))
        return;
#endif
    std::fputs(qPrintable(text), stream);
    std::fflush(stream);
}

bool isTerminal(FILE *stream)
{
#ifdef Q_OS_WIN
    return WindowsConsole::isConsole(_fileno(stream));
#else
    return ::isatty(fileno(stream)) == 1;
#endif
}

QString wrapped(const QString &text, qsizetype width)
{
    QStringList lines;
    for (const QString &paragraph : text.split(u'\n')) {
        QString line;
        for (const QString &word : paragraph.split(u' ', Qt::SkipEmptyParts)) {
            if (!line.isEmpty() && line.size() + 1 + word.size() > width) {
                lines << line;
                line.clear();
            }
            line += (line.isEmpty() ? QString() : QStringLiteral(" ")) + word;
        }
        lines << line;
    }
    return lines.join(u'\n');
}

void describe(QCommandLineParser &parser, const QString &description)
{
    parser.setApplicationDescription(wrapped(description));
    parser.addOption({{QStringLiteral("h"), QStringLiteral("help")},
                      QCoreApplication::translate("CommandLine", "Show this help and exit.")});
    parser.addOption({{QStringLiteral("v"), QStringLiteral("version")},
                      QCoreApplication::translate("CommandLine", "Show the version and exit.")});
}

QString mistake(const QString &what)
{
    return QCoreApplication::translate("CommandLine", "%1: %2\nTry '%1 --help'.")
        .arg(QCoreApplication::applicationName(), what);
}

Request parse(QCommandLineParser &parser, const QStringList &arguments, QString *what,
              qsizetype positionals)
{
    if (!parser.parse(arguments)) {
        *what = mistake(parser.errorText());
        return Request::Mistake;
    }
    if (parser.positionalArguments().size() > positionals) {
        *what = mistake(QCoreApplication::translate("CommandLine", "unexpected argument '%1'")
                            .arg(parser.positionalArguments().at(positionals)));
        return Request::Mistake;
    }
    if (parser.isSet(QStringLiteral("help")))
        return Request::Help;
    if (parser.isSet(QStringLiteral("version")))
        return Request::Version;
    return Request::Proceed;
}

int answer(Request request, const QCommandLineParser &parser, const QString &mistake)
{
    switch (request) {
    case Request::Help:
        print(stdout, parser.helpText());
        return Ok;
    case Request::Version:
        print(stdout, QStringLiteral("%1 %2\n").arg(QCoreApplication::applicationName(),
                                                     QCoreApplication::applicationVersion()));
        return Ok;
    case Request::Mistake:
        print(stderr, mistake + u'\n');
        return Usage;
    case Request::Proceed:
        break;
    }
    return Failure;
}

TextApplication::TextApplication(Translations &translations)
    : m_name(QCoreApplication::applicationName().toLocal8Bit())
    , m_argv{m_name.data(), nullptr}
    , m_app(m_argc, m_argv)
{
    translations.install();
}

} // namespace CommandLine
