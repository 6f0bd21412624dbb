#include "form1.h"
#include "line_trace.h"
#include "port_map.h"
#include "translations.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QIcon>

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

QString programName()
{
    return QCoreApplication::applicationName();
}

// What the command line asks for.
enum class Request { Window, Help, Version, ListPorts, Mistake };

// Our options, described in the language of the translators installed now.
void describeOptions(QCommandLineParser &parser)
{
    parser.setApplicationDescription(QCoreApplication::translate(
        "main",
        "Control panel for a minute/bit programmer board on a serial line (2400 baud, 8N1).\n\n"
        "Com1 and Com2 are the first and the second serial port this system lists (see "
        "--list-ports), looked up again at each port pick; --com1 and --com2 fix a device "
        "instead. Qt's own options, such as -platform and -style, are accepted too."));
    const QString device =
        QCoreApplication::translate("main", "device", "value of --com1 and --com2 in --help");
    parser.addOption({{QStringLiteral("h"), QStringLiteral("help")},
                      QCoreApplication::translate("main", "Show this help and exit.")});
    parser.addOption({{QStringLiteral("v"), QStringLiteral("version")},
                      QCoreApplication::translate("main", "Show the version and exit.")});
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
}

// Reads the command line into parser and ports; what is wrong with it goes to *mistake.
Request readCommandLine(QCommandLineParser &parser, const QStringList &arguments, PortMap *ports,
                        QString *mistake)
{
    describeOptions(parser);
    *ports = PortMap();
    if (!parser.parse(arguments)) {
        *mistake = QCoreApplication::translate("main", "%1: %2\nTry '%1 --help'.")
                       .arg(programName(), parser.errorText());
        return Request::Mistake;
    }
    if (!parser.positionalArguments().isEmpty()) {
        *mistake = QCoreApplication::translate("main", "%1: unexpected argument '%2'\n"
                                                       "Try '%1 --help'.")
                       .arg(programName(), parser.positionalArguments().first());
        return Request::Mistake;
    }
    if (parser.isSet(QStringLiteral("help")))
        return Request::Help;
    if (parser.isSet(QStringLiteral("version")))
        return Request::Version;
    for (qint16 number : {1, 2}) {
        const QString option = QStringLiteral("com%1").arg(number);
        if (!parser.isSet(option))
            continue;
        const QString device = parser.value(option);
        if (device.isEmpty()) {
            *mistake = QCoreApplication::translate("main", "%1: %2 needs a device name\n"
                                                           "Try '%1 --help'.")
                           .arg(programName(), QLatin1String("--") + option);
            return Request::Mistake;
        }
        ports->setDevice(number, device);
    }
    if (parser.isSet(QStringLiteral("list-ports")))
        return Request::ListPorts;
    return Request::Window;
}

int listPorts(const PortMap &ports)
{
    const QStringList lines = ports.describePorts();
    if (lines.isEmpty())
        printTo(stdout, QCoreApplication::translate("main", "No serial ports found.") + u'\n');
    for (const QString &line : lines)
        printTo(stdout, line + QLatin1Char('\n'));
    return Ok;
}

// Everything the program answers without a window.
int answer(Request request, const QCommandLineParser &parser, const PortMap &ports,
           const QString &mistake)
{
    switch (request) {
    case Request::Help:
        printTo(stdout, parser.helpText());
        return Ok;
    case Request::Version:
        printTo(stdout, QStringLiteral("%1 %2\n").arg(programName(), PROGRAMADOR_VERSION));
        return Ok;
    case Request::ListPorts:
        return listPorts(ports);
    case Request::Mistake:
        printTo(stderr, mistake + u'\n');
        return Usage;
    case Request::Window:
        break;
    }
    return Failure;
}

// Without a display Qt gives up with abort() and advice to reinstall. Say in
// one line what is missing instead, and end with our own exit code. This
// happens inside QApplication's constructor, before translators can be
// installed: the translations are asked directly.
QtMessageHandler defaultHandler = nullptr;
const Translations *startUpTranslations = nullptr;

const char *const NoDisplayText =
    QT_TRANSLATE_NOOP("main", "%1: no display to show the window on (DISPLAY is not set). Start "
                              "it in a desktop session, or try the demo without one: "
                              "xvfb-run -a %1 --demo");
const char *const DisplayRefusedText =
    QT_TRANSLATE_NOOP("main", "%1: cannot connect to the display \"%2\". Start it in a desktop "
                              "session, or try the demo without one: xvfb-run -a %1 --demo");

void startUpHandler(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (type == QtFatalMsg) {
        const QByteArray display = qgetenv("DISPLAY");
        const QString what = display.isEmpty()
            ? startUpTranslations->translate("main", NoDisplayText).arg(programName())
            : startUpTranslations->translate("main", DisplayRefusedText)
                  .arg(programName(), QString::fromLocal8Bit(display));
        printTo(stderr, what + u'\n');
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
    QCoreApplication::setApplicationName(QStringLiteral("programador"));
    QCoreApplication::setApplicationVersion(QStringLiteral(PROGRAMADOR_VERSION));

    // Parsed before the GUI starts, so --help, --version, --list-ports and
    // mistakes work without a display.
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    arguments = withoutQtOptions(arguments);

    // The desktop's language, chosen before any application object exists.
    Translations translations;
    PortMap ports;
    QString mistake;
    QCommandLineParser parser;
    if (const Request request = readCommandLine(parser, arguments, &ports, &mistake);
        request != Request::Window) {
        // Translators need an application object, and the options and Qt's
        // own parser texts are translated when made: read the line again.
        // Its only argument is the program's name, which Qt's usage line
        // shows as given, not as the path it was started by.
        char name[] = "programador";
        char *nameOnly[] = {name, nullptr};
        int count = 1;
        QCoreApplication app(count, nameOnly);
        translations.install();
        QCommandLineParser translated;
        return answer(readCommandLine(translated, arguments, &ports, &mistake), translated, ports,
                      mistake);
    }
    LineTrace::setUp(parser.isSet(QStringLiteral("trace")));

    defaultHandler = qInstallMessageHandler(startUpHandler);
    startUpTranslations = &translations;
    QApplication app(argc, argv);
    qInstallMessageHandler(defaultHandler);
    QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral(PROGRAMADOR_APP_ID),
        QIcon(QStringLiteral(":/" PROGRAMADOR_APP_ID ".png"))));
    // Lets desktops match the window to its menu entry.
    QGuiApplication::setDesktopFileName(QStringLiteral(PROGRAMADOR_APP_ID));
    translations.install();

#ifdef PROGRAMADOR_HAVE_DEMO
    std::vector<std::unique_ptr<BoardEmulator>> boards;
    if (parser.isSet(QStringLiteral("demo"))) {
        for (qint16 number : {1, 2}) {
            auto board = std::make_unique<BoardEmulator>();
            if (!board->start()) {
                printTo(stderr, QCoreApplication::translate(
                                    "main", "%1: cannot start an emulated board: %2")
                                        .arg(programName(), board->errorString())
                                    + u'\n');
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
