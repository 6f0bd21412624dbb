// board-emulator: one emulated board on a pseudo-terminal, for trying the
// panel without hardware. Logs the traffic until SIGINT or SIGTERM.

#include "board_emulator.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QSocketNotifier>

#include <cerrno>
#include <csignal>
#include <cstdio>

#include <fcntl.h>
#include <unistd.h>

#ifndef BOARD_EMULATOR_VERSION
#define BOARD_EMULATOR_VERSION "0.0.0"
#endif

namespace {

// Self-pipe: the handler only writes a byte, the event loop does the rest.
int signalPipe[2] = {-1, -1};

extern "C" void onSignal(int)
{
    const int saved = errno;
    const char byte = 1;
    [[maybe_unused]] const ssize_t ignored = ::write(signalPipe[1], &byte, 1);
    errno = saved;
}

bool installSignalHandlers()
{
    if (::pipe(signalPipe) != 0)
        return false;
    for (int fd : signalPipe) {
        ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK);
        ::fcntl(fd, F_SETFD, FD_CLOEXEC);
    }
    struct sigaction action = {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    return ::sigaction(SIGINT, &action, nullptr) == 0 && ::sigaction(SIGTERM, &action, nullptr) == 0;
}

// Commands end in spaces and answers may hold any byte: quote and escape.
QByteArray shown(const QByteArray &bytes)
{
    QByteArray out = "\"";
    for (const char c : bytes) {
        const auto u = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\')
            out += '\\' + QByteArray(1, c);
        else if (u >= 0x20 && u < 0x7f)
            out += c;
        else
            out += "\\x" + QByteArray::number(u, 16).rightJustified(2, '0');
    }
    return out + '"';
}

// Flushed per line so the log is live even when stdout is a pipe or file.
void say(const QByteArray &line)
{
    std::fwrite(line.constData(), 1, size_t(line.size()), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("board-emulator"));
    QCoreApplication::setApplicationVersion(QStringLiteral(BOARD_EMULATOR_VERSION));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Emulates the programmer board on a pseudo-terminal so programador can be tried without hardware."));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption delayOption(QStringList{QStringLiteral("d"), QStringLiteral("delay")},
                                         QStringLiteral("Answer each command after <ms> milliseconds (default 20)."),
                                         QStringLiteral("ms"), QStringLiteral("20"));
    const QCommandLineOption silentOption(QStringList{QStringLiteral("s"), QStringLiteral("silent")},
                                          QStringLiteral("Parse commands but never answer."));
    parser.addOption(delayOption);
    parser.addOption(silentOption);
    parser.process(app);

    bool ok = false;
    const int delay = parser.value(delayOption).toInt(&ok);
    if (!ok || delay < 0) {
        std::fprintf(stderr, "board-emulator: --delay wants a whole number of milliseconds, not \"%s\"\n",
                     qPrintable(parser.value(delayOption)));
        return 2;
    }

    if (!installSignalHandlers()) {
        std::perror("board-emulator: signal handlers");
        return 1;
    }
    QSocketNotifier signalNotifier(signalPipe[0], QSocketNotifier::Read);
    QObject::connect(&signalNotifier, &QSocketNotifier::activated, &app, [] {
        char drain[16];
        while (::read(signalPipe[0], drain, sizeof drain) > 0) {}
        QCoreApplication::quit();
    });

    BoardEmulator board;
    board.setReplyDelay(delay);
    board.setSilent(parser.isSet(silentOption));
    if (!board.start()) {
        std::fprintf(stderr, "board-emulator: %s\n", qPrintable(board.errorString()));
        return 1;
    }

    QElapsedTimer clock;
    clock.start();
    const auto stamp = [&clock] {
        return QByteArray::number(double(clock.nsecsElapsed()) / 1e9, 'f', 3).rightJustified(9, ' ');
    };

    QObject::connect(&board, &BoardEmulator::commandParsed, &app, [&](const BoardEmulator::Command &command) {
        say(stamp() + " <- " + shown(command.text) + (command.valid ? "" : "  (invalid)"));
    });
    QObject::connect(&board, &BoardEmulator::sent, &app, [&](const QByteArray &bytes) {
        say(stamp() + " -> " + shown(bytes));
    });

    const QByteArray path = board.devicePath().toLocal8Bit();
    say("Board ready on " + path);
    say("Run: programador --com1 " + path);
    if (delay != 20 || parser.isSet(silentOption))
        say("Answers: " + (parser.isSet(silentOption) ? QByteArray("none (silent)")
                                                      : "after " + QByteArray::number(delay) + " ms"));
    say("Ctrl+C to stop.");

    app.exec();
    board.hangUp();
    say("Stopped.");
    return 0;
}
