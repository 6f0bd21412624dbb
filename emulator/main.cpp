// board-emulator: one emulated board on a pseudo-terminal, for trying the
// panel without hardware. Logs the traffic until SIGINT, SIGTERM or SIGHUP,
// then prints the program the board held.

#include "board_emulator.h"
#include "command_line.h"
#include "held_program.h"
#include "program_end.h"
#include "program_grid.h"
#include "qt_message_routing.h"
#include "standard_streams.h"
#include "termination_watcher.h"
#include "translations.h"

#include <QDebug>
#include <QLoggingCategory>

// The traffic log: on unless QT_LOGGING_RULES="board-emulator.line=false".
Q_LOGGING_CATEGORY(lcBoardLine, "board-emulator.line", QtDebugMsg)

int main(int argc, char *argv[])
{
    QCoreApplication::setApplicationName(QStringLiteral("board-emulator"));
    QCoreApplication::setApplicationVersion(QStringLiteral(BOARD_EMULATOR_VERSION));
    ProgramEnd::begin();
    // The log stays on standard output, where people redirect it; Qt's other
    // messages go to standard error, as the panel's do.
    QtMessageRouting::routeCategory("board-emulator.line", &StandardStreams::output());
    const QStringList arguments = CommandLine::arguments(argc, argv);
    Translations translations;
    // First: the translators need it, and the options and Qt's own parser
    // texts are translated when made.
    CommandLine::TextApplication app(translations);

    // Read before anything starts, so mistakes never leave a board behind.
    QCommandLineParser parser;
    CommandLine::describe(parser, QCoreApplication::translate(
        "board-emulator", "Emulates the programmer board on a pseudo-terminal so programador can "
                          "be tried without hardware."));
    const QCommandLineOption delayOption(
        {QStringLiteral("d"), QStringLiteral("delay")},
        QCoreApplication::translate(
            "board-emulator", "Start each answer <ms> milliseconds after its command (default 20)."),
        QStringLiteral("ms"), QStringLiteral("20"));
    const QCommandLineOption silentOption(
        {QStringLiteral("s"), QStringLiteral("silent")},
        QCoreApplication::translate("board-emulator", "Read commands but never answer."));
    const QCommandLineOption instantOption(
        {QStringLiteral("i"), QStringLiteral("instant")},
        QCoreApplication::translate("board-emulator", "Take commands and send answers at once, "
                                                      "not at the pace of a 2400-baud line."));
    parser.addOptions({delayOption, silentOption, instantOption});

    QString mistake;
    if (const auto request = CommandLine::parse(parser, arguments, &mistake);
        request != CommandLine::Request::Proceed)
        return CommandLine::answer(request, parser, mistake);
    bool ok = false;
    const int delay = parser.value(delayOption).toInt(&ok);
    if (!ok || delay < 0) {
        return CommandLine::answer(
            CommandLine::Request::Mistake, parser,
            CommandLine::mistake(QCoreApplication::translate(
                                     "board-emulator",
                                     "--delay wants a whole number of milliseconds, not '%1'")
                                     .arg(parser.value(delayOption))));
    }
    const bool silent = parser.isSet(silentOption);
    const bool paced = !parser.isSet(instantOption);

    // Ctrl+C, kill and a closed terminal all end the program normally.
    TerminationWatcher signalWatcher;
    QObject::connect(&signalWatcher, &TerminationWatcher::terminationRequested, qApp,
                     &QCoreApplication::quit);

    BoardEmulator board;
    board.setReplyDelay(delay);
    board.setSilent(silent);
    board.setLinePaced(paced);
    if (!board.start()) {
        CommandLine::print(stderr, QCoreApplication::translate("board-emulator",
                                                               "%1: cannot open a pseudo-terminal: %2")
                                       .arg(QCoreApplication::applicationName(), board.errorString())
                                   + QLatin1Char('\n'));
        return CommandLine::Failure;
    }

    // Each line flushed, after the log lines before it, so the words keep
    // their place in the log even when stdout is a pipe or file.
    const auto say = [](const QString &line) { CommandLine::print(stdout, line + QLatin1Char('\n')); };
    // The traffic is a trace, like the panel's --trace, of the same shape and
    // never translated: commands end in spaces and answers may hold any byte,
    // so QDebug quotes and escapes them.
    QObject::connect(&board, &BoardEmulator::commandParsed, qApp, [](const BoardEmulator::Command &command) {
        qCDebug(lcBoardLine).nospace() << "<- " << command.text << (command.valid ? "" : "  (invalid)");
    });
    QObject::connect(&board, &BoardEmulator::sent, qApp, [](const QByteArray &bytes) {
        qCDebug(lcBoardLine).nospace() << "-> " << bytes;
    });

    say(QCoreApplication::translate("board-emulator", "Board ready on %1").arg(board.devicePath()));
    say(QCoreApplication::translate("board-emulator", "Run: %1 --com1 %2")
            .arg(QStringLiteral("programador"), board.devicePath()));
    if (silent)
        say(QCoreApplication::translate("board-emulator", "Commands are read but never answered."));
    else if (paced)
        say(QCoreApplication::translate("board-emulator", "Answers start %1 ms after each command, "
                                                          "at the pace of a 2400-baud line.")
                .arg(delay));
    else
        say(QCoreApplication::translate("board-emulator",
                                        "Answers go out whole, %1 ms after each command.")
                .arg(delay));
    say(QCoreApplication::translate("board-emulator", "Press Ctrl+C to stop."));

    QCoreApplication::exec();
    board.hangUp();
    say(QCoreApplication::translate("board-emulator", "Stopped."));
    // Last, in the form of programador --show, so that `tail -n 12` of the
    // output compares with what a session file leaves.
    say(QCoreApplication::translate("board-emulator", "The board held:"));
    CommandLine::print(stdout, ProgramGrid::text(heldProgram(board)));
    return CommandLine::Ok;
}
