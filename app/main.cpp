#include "command_line.h"
#include "display_failure.h"
#include "form1.h"
#include "forced_exit_guard.h"
#include "line_trace.h"
#include "port_advice.h"
#include "port_map.h"
#include "translations.h"

#include <QApplication>
#include <QIcon>

#include <initializer_list>
#include <memory>
#include <optional>
#include <vector>

#include "termination_watcher.h"

#ifdef PROGRAMADOR_HAVE_DEMO
#include "board_emulator.h"
#include "demo_channel.h"
#endif
#ifdef Q_OS_UNIX
#include "window_gone_filter.h"
#endif

namespace {

using CommandLine::Request;

// Documented in the manual pages, after the codes both programs share.
enum ExitCode { NoDisplay = 3, DisplayLost = 4 };

// Qt's own options (QGuiApplication, QApplication, the X11 platform), which
// QApplication takes out of argv itself: known to the parser, so they are no
// mistake, and left out of --help.
void acceptQtOptions(QCommandLineParser &parser)
{
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    const auto accept = [&parser](std::initializer_list<const char *> names, const QString &value) {
        for (const char *name : names) {
            QCommandLineOption option(QString::fromLatin1(name), QString(), value);
            option.setFlags(QCommandLineOption::HiddenFromHelp);
            parser.addOption(option);
        }
    };
    accept({"platform", "platformpluginpath", "platformtheme", "plugin", "qmljsdebugger",
            "qwindowgeometry", "qwindowicon", "qwindowtitle", "session", "display", "geometry",
            "title", "icon", "name", "style", "stylesheet", "visual"},
           QStringLiteral("value"));
    accept({"reverse", "widgetcount", "nograb", "dograb", "sync"}, QString());
}

// Our options, described in the language of the translators installed now.
void describeOptions(QCommandLineParser &parser)
{
#ifdef Q_OS_WIN
    CommandLine::describe(parser, QCoreApplication::translate(
        "main",
        "Control panel for a minute/bit programmer board on a serial line (2400 baud, 8N1).\n\n"
        "Com1 and Com2 are the ports COM1 and COM2 (see --list-ports); --com1 and --com2 "
        "put another port behind them, such as COM3. Qt's own options, such as -style, "
        "are accepted too."));
#else
    CommandLine::describe(parser, QCoreApplication::translate(
        "main",
        "Control panel for a minute/bit programmer board on a serial line (2400 baud, 8N1).\n\n"
        "Com1 and Com2 are the first and the second serial port this system lists (see "
        "--list-ports), looked up again at each port pick; --com1 and --com2 fix a device "
        "instead. Qt's own options, such as -platform and -style, are accepted too."));
#endif
    const QString device =
        QCoreApplication::translate("main", "device", "value of --com1 and --com2 in --help");
    parser.addOption({QStringLiteral("com1"),
                      QCoreApplication::translate("main", "Use this device for Com1."), device});
    parser.addOption({QStringLiteral("com2"),
                      QCoreApplication::translate("main", "Use this device for Com2."), device});
    parser.addOption({QStringLiteral("list-ports"),
                      QCoreApplication::translate("main", "List this system's serial ports, "
                                                          "marking Com1 and Com2, and exit.")});
    parser.addOption({QStringLiteral("trace"),
                      QCoreApplication::translate(
                          "main", "Write every event on the serial line to standard error.")});
#ifdef PROGRAMADOR_HAVE_DEMO
    parser.addOption({QStringLiteral("demo"),
                      QCoreApplication::translate(
                          "main", "Put two emulated boards behind Com1 and Com2, to try the panel "
                                  "without hardware.")});
#endif
    acceptQtOptions(parser);
}

// Reads the command line into parser and ports; what is wrong with it goes to
// *mistake. Proceed: the window, or the list of ports if asked for.
Request readCommandLine(QCommandLineParser &parser, const QStringList &arguments, PortMap *ports,
                        QString *mistake)
{
    describeOptions(parser);
    *ports = PortMap();
    if (const Request request = CommandLine::parse(parser, arguments, mistake);
        request != Request::Proceed)
        return request;
    for (qint16 number : {1, 2}) {
        const QString option = QStringLiteral("com%1").arg(number);
        if (!parser.isSet(option))
            continue;
        const QString device = parser.value(option);
        if (device.isEmpty()) {
            *mistake = CommandLine::mistake(
                QCoreApplication::translate("main", "%1 needs a device name")
                    .arg(QLatin1String("--") + option));
            return Request::Mistake;
        }
        ports->setDevice(number, device);
    }
    return Request::Proceed;
}

int listPorts(const PortMap &ports)
{
    const QStringList lines = PortAdvice::describePorts(ports);
    // In one piece: on Windows it may be one message box.
    CommandLine::print(stdout, (lines.isEmpty() ? QCoreApplication::translate(
                                                      "main", "No serial ports found.")
                                                : lines.join(u'\n'))
                                   + u'\n');
    return CommandLine::Ok;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication::setApplicationName(QStringLiteral("programador"));
    QCoreApplication::setApplicationVersion(QStringLiteral(PROGRAMADOR_VERSION));
    CommandLine::useStartingConsole();

    // Parsed before the GUI starts, so --help, --version, --list-ports and
    // mistakes work without a display.
    const QStringList arguments = CommandLine::arguments(argc, argv);
    // The desktop's language, chosen before any application object exists.
    Translations translations;
    PortMap ports;
    QString mistake;
    QCommandLineParser parser;
    if (readCommandLine(parser, arguments, &ports, &mistake) != Request::Proceed
        || parser.isSet(QStringLiteral("list-ports"))) {
        // The options and Qt's own parser texts are translated when made:
        // read the line again once the translators are in.
        CommandLine::TextApplication app(translations);
        QCommandLineParser translated;
        const Request request = readCommandLine(translated, arguments, &ports, &mistake);
        return request == Request::Proceed ? listPorts(ports)
                                           : CommandLine::answer(request, translated, mistake);
    }
    LineTrace::setUp(parser.isSet(QStringLiteral("trace")));

    std::optional<DisplayFailureReport> failureReport(
        std::in_place, translations, parser.value(QStringLiteral("platform")),
        parser.value(QStringLiteral("display")), NoDisplay);
    QApplication app(argc, argv);
    failureReport.reset();
    QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral(PROGRAMADOR_APP_ID),
        QIcon(QStringLiteral(":/" PROGRAMADOR_APP_ID ".png"))));
    // Lets desktops match the window to its menu entry.
    QGuiApplication::setDesktopFileName(QStringLiteral(PROGRAMADOR_APP_ID));
    translations.install();

#if defined(PROGRAMADOR_HAVE_DEMO) && !defined(Q_OS_UNIX)
    // No pseudo-terminals: the boards sit in-process behind the panel's channel.
    std::unique_ptr<DemoChannel> demoBoards;
    if (parser.isSet(QStringLiteral("demo")))
        demoBoards = std::make_unique<DemoChannel>();
#elif defined(PROGRAMADOR_HAVE_DEMO)
    std::vector<std::unique_ptr<BoardEmulator>> boards;
    if (parser.isSet(QStringLiteral("demo"))) {
        for (qint16 number : {1, 2}) {
            auto board = std::make_unique<BoardEmulator>();
            if (!board->start()) {
                CommandLine::print(stderr, QCoreApplication::translate(
                                               "main", "%1: cannot start an emulated board: %2")
                                                   .arg(QCoreApplication::applicationName(),
                                                        board->errorString())
                                               + u'\n');
                return CommandLine::Failure;
            }
            ports.setDevice(number, board->devicePath());
            boards.push_back(std::move(board));
        }
    }
#endif

#if defined(PROGRAMADOR_HAVE_DEMO) && !defined(Q_OS_UNIX)
    const auto formPtr = demoBoards ? std::make_unique<Form1>(demoBoards.get())
                                    : std::make_unique<Form1>(ports);
#else
    const auto formPtr = std::make_unique<Form1>(ports);
#endif
    Form1 &form = *formPtr;
    QObject::connect(&form, &Form1::quitRequested, &app, &QCoreApplication::exit);
    const ForcedExitGuard forcedExit([&form] { form.Form_Unload(); }, DisplayLost);
    // Ends the program does not choose, but hears of: the port is closed first.
    const auto unloadAndEnd = [&form] {
        form.Form_Unload();
        QCoreApplication::exit(CommandLine::Ok);
    };
    TerminationWatcher terminationWatcher;
    QObject::connect(&terminationWatcher, &TerminationWatcher::terminationRequested, &form,
                     unloadAndEnd);
    // Windows' log-off and shut-down need nothing more: Qt quits from inside
    // WM_ENDSESSION, and quitting closes the window (closeEvent unloads it)
    // before the system ends the process.
    form.show();
#ifdef Q_OS_UNIX
    WindowGoneFilter windowGone(form.windowHandle());
    QObject::connect(&windowGone, &WindowGoneFilter::windowGone, &form, unloadAndEnd);
#endif
    return app.exec();
}
