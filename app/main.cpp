#include "form1.h"
#include "line_trace.h"
#include "port_map.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QIcon>
#include <QLoggingCategory>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <vector>

#ifdef PROGRAMADOR_HAVE_DEMO
#include "board_emulator.h"
#endif
#ifdef Q_OS_UNIX
#include "unix_signal_watcher.h"
#include "window_gone_filter.h"
#endif

namespace {

// Documented in the manual page.
enum ExitCode { Ok = 0, Failure = 1, Usage = 2, NoDisplay = 3 };

void printTo(FILE *stream, const QString &text)
{
    std::fputs(qPrintable(text), stream);
    std::fflush(stream);
}

// Qt's own options (QGuiApplication, QApplication, the X11 platform), which
// QApplication takes out of argv itself; our parser must not see them.
bool isQtOption(const QString &name, bool *takesValue)
{
    static const QStringList withValue = {
        QStringLiteral("platform"), QStringLiteral("platformpluginpath"),
        QStringLiteral("platformtheme"), QStringLiteral("plugin"),
        QStringLiteral("qmljsdebugger"), QStringLiteral("qwindowgeometry"),
        QStringLiteral("qwindowicon"), QStringLiteral("qwindowtitle"),
        QStringLiteral("session"), QStringLiteral("display"), QStringLiteral("geometry"),
        QStringLiteral("title"), QStringLiteral("name"), QStringLiteral("style"),
        QStringLiteral("stylesheet"), QStringLiteral("visual"),
    };
    static const QStringList flags = {
        QStringLiteral("reverse"), QStringLiteral("widgetcount"), QStringLiteral("nograb"),
        QStringLiteral("dograb"), QStringLiteral("sync"),
    };
    *takesValue = withValue.contains(name);
    return *takesValue || flags.contains(name);
}

QStringList withoutQtOptions(const QStringList &arguments)
{
    QStringList ours;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString &argument = arguments.at(i);
        if (i == 0 || argument == QLatin1String("--") || !argument.startsWith(QLatin1Char('-'))) {
            ours << argument;
            continue;
        }
        QString name = argument.mid(argument.startsWith(QLatin1String("--")) ? 2 : 1);
        const qsizetype equals = name.indexOf(QLatin1Char('='));
        if (equals >= 0)
            name.truncate(equals);
        bool takesValue = false;
        if (!isQtOption(name, &takesValue)) {
            ours << argument;
            continue;
        }
        if (takesValue && equals < 0)
            ++i;   // its value
    }
    return ours;
}

int listPorts(const PortMap &ports)
{
    const QStringList lines = ports.describePorts();
    if (lines.isEmpty())
        printTo(stdout, QStringLiteral("No serial ports found.\n"));
    for (const QString &line : lines)
        printTo(stdout, line + QLatin1Char('\n'));
    return Ok;
}

// Without a display Qt gives up with abort() and advice to reinstall. Say in
// one line what is missing instead, and end with our own exit code.
QtMessageHandler defaultHandler = nullptr;

void startUpHandler(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (type == QtFatalMsg) {
        const QByteArray display = qgetenv("DISPLAY");
        const QString what = display.isEmpty()
            ? QStringLiteral("programador: no display to show the window on (DISPLAY is not set).")
            : QStringLiteral("programador: cannot connect to the display \"%1\".")
                  .arg(QString::fromLocal8Bit(display));
        printTo(stderr, what + QLatin1Char(' ')
                            + QStringLiteral("Start it in a desktop session, or try the demo "
                                             "without one: xvfb-run -a programador --demo\n"));
        std::_Exit(NoDisplay);
    }
    // The platform plugin's own complaints lead up to the fatal one above.
    if (context.category && qstrncmp(context.category, "qt.qpa", 6) == 0 && type != QtCriticalMsg)
        return;
    defaultHandler(type, context, message);
}

} // namespace

int main(int argc, char *argv[])
{
    LineTrace::startClock();
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
                       "(2400 baud, 8N1).\n\n"
                       "Com1 and Com2 are the first and the second serial port this system "
                       "lists (see --list-ports), looked up again at each port pick; "
                       "--com1 and --com2 fix a device instead. Qt's own options, such as "
                       "-platform and -style, are accepted too."));
    const QCommandLineOption helpOption({QStringLiteral("h"), QStringLiteral("help")},
                                        QStringLiteral("Show this help and exit."));
    const QCommandLineOption versionOption({QStringLiteral("v"), QStringLiteral("version")},
                                           QStringLiteral("Show the version and exit."));
    const QCommandLineOption com1Option(
        QStringLiteral("com1"), QStringLiteral("Use this device for Com1."),
        QStringLiteral("device"));
    const QCommandLineOption com2Option(
        QStringLiteral("com2"), QStringLiteral("Use this device for Com2."),
        QStringLiteral("device"));
    const QCommandLineOption listOption(
        QStringLiteral("list-ports"),
        QStringLiteral("List this system's serial ports, marking Com1 and Com2, and exit."));
    const QCommandLineOption traceOption(
        QStringLiteral("trace"),
        QStringLiteral("Write every event on the serial line to standard error."));
    parser.addOption(helpOption);
    parser.addOption(versionOption);
    parser.addOption(com1Option);
    parser.addOption(com2Option);
    parser.addOption(listOption);
    parser.addOption(traceOption);
#ifdef PROGRAMADOR_HAVE_DEMO
    const QCommandLineOption demoOption(
        QStringLiteral("demo"),
        QStringLiteral("Put two emulated boards behind Com1 and Com2, to try the panel "
                       "without hardware."));
    parser.addOption(demoOption);
#endif

    if (!parser.parse(withoutQtOptions(arguments))) {
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

    PortMap ports;
    for (const auto &[option, number] : {std::pair{&com1Option, 1}, std::pair{&com2Option, 2}}) {
        if (!parser.isSet(*option))
            continue;
        const QString device = parser.value(*option);
        if (device.isEmpty()) {
            printTo(stderr, QStringLiteral("programador: --com%1 needs a device name\n"
                                           "Try 'programador --help'.\n")
                                .arg(number));
            return Usage;
        }
        ports.setDevice(qint16(number), device);
    }
    if (parser.isSet(listOption))
        return listPorts(ports);
    if (parser.isSet(traceOption))
        QLoggingCategory::setFilterRules(QStringLiteral("programador.line.debug=true"));

    defaultHandler = qInstallMessageHandler(startUpHandler);
    QApplication app(argc, argv);
    qInstallMessageHandler(defaultHandler);
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
#ifdef Q_OS_UNIX
    WindowGoneFilter windowGone(form.windowHandle());
    QObject::connect(&windowGone, &WindowGoneFilter::windowGone, &form, [&form] {
        form.Form_Unload();
        QCoreApplication::exit(Ok);
    });
#endif
    return app.exec();
}
