#include "form1.h"
#include "port_map.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QIcon>
#include <QSerialPortInfo>

#include <cstdio>
#include <memory>
#include <vector>

#ifdef PROGRAMADOR_HAVE_DEMO
#include "board_emulator.h"
#endif
#ifdef Q_OS_UNIX
#include "unix_signal_watcher.h"
#endif

namespace {

enum ExitCode { Ok = 0, Failure = 1, Usage = 2 };

void printTo(FILE *stream, const QString &text)
{
    std::fputs(qPrintable(text), stream);
    std::fflush(stream);
}

int listPorts()
{
    const QStringList ports = PortMap::systemPorts();
    if (ports.isEmpty())
        printTo(stdout, QStringLiteral("No serial ports found.\n"));
    for (const QString &line : ports)
        printTo(stdout, line + QLatin1Char('\n'));
    return Ok;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication::setApplicationName(QStringLiteral("programador"));
    QCoreApplication::setApplicationVersion(QStringLiteral(PROGRAMADOR_VERSION));

    // Parsed before the GUI starts, so --help, --version, --list-ports and
    // mistakes work without a display.
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Control panel for a minute/bit programmer board on a serial line "
                       "(2400 baud, 8N1)."));
    const QCommandLineOption helpOption({QStringLiteral("h"), QStringLiteral("help")},
                                        QStringLiteral("Show this help and exit."));
    const QCommandLineOption versionOption({QStringLiteral("v"), QStringLiteral("version")},
                                           QStringLiteral("Show the version and exit."));
    const QCommandLineOption com1Option(
        QStringLiteral("com1"),
        QStringLiteral("Device behind Com1 (default %1).").arg(PortMap::defaultDevice(1)),
        QStringLiteral("device"));
    const QCommandLineOption com2Option(
        QStringLiteral("com2"),
        QStringLiteral("Device behind Com2 (default %1).").arg(PortMap::defaultDevice(2)),
        QStringLiteral("device"));
    const QCommandLineOption listOption(QStringLiteral("list-ports"),
                                        QStringLiteral("List this system's serial ports and exit."));
    parser.addOption(helpOption);
    parser.addOption(versionOption);
    parser.addOption(com1Option);
    parser.addOption(com2Option);
    parser.addOption(listOption);
#ifdef PROGRAMADOR_HAVE_DEMO
    const QCommandLineOption demoOption(
        QStringLiteral("demo"),
        QStringLiteral("Put two emulated boards behind Com1 and Com2, to try the panel "
                       "without hardware."));
    parser.addOption(demoOption);
#endif

    if (!parser.parse(arguments)) {
        printTo(stderr, QStringLiteral("programador: %1\nTry 'programador --help'.\n")
                            .arg(parser.errorText()));
        return Usage;
    }
    if (!parser.positionalArguments().isEmpty()) {
        printTo(stderr, QStringLiteral("programador: unexpected argument '%1'\n"
                                       "Try 'programador --help'.\n")
                            .arg(parser.positionalArguments().first()));
        return Usage;
    }
    if (parser.isSet(helpOption)) {
        // Without an application object Qt cannot know the program's name.
        printTo(stdout, parser.helpText().replace(QLatin1String("<executable_name>"),
                                                  QCoreApplication::applicationName()));
        return Ok;
    }
    if (parser.isSet(versionOption)) {
        printTo(stdout, QStringLiteral("programador %1\n").arg(PROGRAMADOR_VERSION));
        return Ok;
    }
    if (parser.isSet(listOption))
        return listPorts();

    PortMap ports;
    for (const auto &[option, number] : {std::pair{&com1Option, 1}, std::pair{&com2Option, 2}}) {
        if (!parser.isSet(*option))
            continue;
        const QString device = parser.value(*option);
        if (device.isEmpty()) {
            printTo(stderr, QStringLiteral("programador: --com%1 needs a device name\n").arg(number));
            return Usage;
        }
        ports.setDevice(qint16(number), device);
    }

    QApplication app(argc, argv);
    QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral(PROGRAMADOR_APP_ID),
        QIcon(QStringLiteral(":/" PROGRAMADOR_APP_ID ".png"))));
    // Lets desktops match the window to its menu entry.
    QGuiApplication::setDesktopFileName(QStringLiteral(PROGRAMADOR_APP_ID));

#ifdef PROGRAMADOR_HAVE_DEMO
    std::vector<std::unique_ptr<BoardEmulator>> boards;
    if (parser.isSet(demoOption)) {
        for (qint16 number : {1, 2}) {
            auto board = std::make_unique<BoardEmulator>();
            if (!board->start()) {
                printTo(stderr, QStringLiteral("programador: cannot start an emulated board: %1\n")
                                    .arg(board->errorString()));
                return Failure;
            }
            ports.setDevice(number, board->devicePath());
            boards.push_back(std::move(board));
        }
    }
#endif

    Form1 form(ports);
    QObject::connect(&form, &Form1::quitRequested, &app, &QCoreApplication::exit);
#ifdef Q_OS_UNIX
    UnixSignalWatcher signalWatcher;
    QObject::connect(&signalWatcher, &UnixSignalWatcher::terminationRequested, &form, [&form] {
        form.Form_Unload();
        QCoreApplication::exit(Ok);
    });
#endif
    form.show();
    return app.exec();
}
