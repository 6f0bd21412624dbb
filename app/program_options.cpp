#include "program_options.h"

#include "command_line.h"
#include "port_list.h"
#include "show_program.h"
#include "translations.h"

#include <initializer_list>

using CommandLine::Request;

namespace {

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
    parser.addOption({QStringLiteral("run"),
                      QCoreApplication::translate(
                          "main", "Carry out the steps of a session file (- for standard input) "
                                  "without a window, checking every reply, and exit."),
                      QCoreApplication::translate("main", "file", "value of --run in --help")});
    parser.addOption({QStringLiteral("show"),
                      QCoreApplication::translate(
                          "main", "Print what the steps of a session file (- for standard input) "
                                  "leave on a board, minute by minute, and exit."),
                      QCoreApplication::translate("main", "file", "value of --run in --help")});
    parser.addOption({QStringLiteral("retries"),
                      QCoreApplication::translate(
                          "main", "With --run: send a command that got no answer again, up to n "
                                  "times (default 0)."),
                      QStringLiteral("n")});
    parser.addOption({QStringLiteral("pace"),
                      QCoreApplication::translate(
                          "main", "With --run: window (the default) waits for each reply as the "
                                  "window does; line sends the next command as soon as a whole "
                                  "reply is in."),
                      QCoreApplication::translate("main", "pace", "value of --pace in --help")});
    parser.addOption({QStringLiteral("quiet"),
                      QCoreApplication::translate(
                          "main", "With --run: no line per exchange and no progress, only one "
                                  "line at the end naming the port, its device and the verdict.")});
    parser.addOption({QStringLiteral("report"),
                      QCoreApplication::translate(
                          "main", "With --run: write a record of every exchange to this file (CSV)."),
                      QCoreApplication::translate("main", "file", "value of --run in --help")});
    parser.addPositionalArgument(
        QCoreApplication::translate("main", "file"),
        QCoreApplication::translate("main", "A board program (a session file) to open in the program "
                                            "window."),
        QCoreApplication::translate("main", "[file]"));
    acceptQtOptions(parser);
}

QString listOfPorts(const PortMap &ports)
{
    const QStringList lines = PortList::describe(ports);
    return lines.isEmpty() ? QCoreApplication::translate("main", "No serial ports found.")
                           : lines.join(u'\n');
}

} // namespace

ProgramOptions::ProgramOptions(const QStringList &arguments)
    : m_arguments(arguments)
{
    QCommandLineParser parser;
    m_runs = read(parser);
}

// Into the members; false when there is nothing to run: help, the version,
// the port list, or a mistake (m_request says which).
bool ProgramOptions::read(QCommandLineParser &parser)
{
    describeOptions(parser);
    const auto wrong = [this](const QString &what) {
        m_mistake = CommandLine::mistake(what);
        m_request = Request::Mistake;
        return false;
    };
    m_request = CommandLine::parse(parser, m_arguments, &m_mistake, 1);
    if (m_request != Request::Proceed)
        return false;
    m_programFile = parser.positionalArguments().value(0);
    for (qint16 number : PortMap::Ports) {
        const QString option = QStringLiteral("com%1").arg(number);
        if (!parser.isSet(option))
            continue;
        const QString device = parser.value(option);
        if (device.isEmpty())
            return wrong(QCoreApplication::translate("main", "%1 needs a device name")
                             .arg(QLatin1String("--") + option));
        m_ports.setDevice(number, device);
    }
    m_trace = parser.isSet(QStringLiteral("trace"));
    m_demo = parser.isSet(QStringLiteral("demo"));
    m_session = parser.value(QStringLiteral("run"));
    m_report = parser.value(QStringLiteral("report"));
    m_platform = parser.value(QStringLiteral("platform"));
    m_display = parser.value(QStringLiteral("display"));
    if (parser.isSet(QStringLiteral("run")) && m_session.isEmpty())
        return wrong(QCoreApplication::translate("main", "--run needs a file, or - for standard input"));
    m_show = parser.value(QStringLiteral("show"));
    if (parser.isSet(QStringLiteral("show"))) {
        if (m_show.isEmpty())
            return wrong(QCoreApplication::translate("main", "--show needs a file, or - for standard input"));
        for (const char *name : {"run", "list-ports"}) {
            if (parser.isSet(QLatin1String(name)))
                return wrong(QCoreApplication::translate("main", "--show and --%1 do not go together")
                                 .arg(QLatin1String(name)));
        }
    }
    if (!m_programFile.isEmpty() && (!m_session.isEmpty() || !m_show.isEmpty()))
        return wrong(QCoreApplication::translate("main", "a file to open goes with the window, not with --%1")
                         .arg(QLatin1String(m_session.isEmpty() ? "show" : "run")));
    for (const char *name : {"retries", "report", "pace", "quiet"}) {
        if (parser.isSet(QLatin1String(name)) && m_session.isEmpty())
            return wrong(QCoreApplication::translate("main", "--%1 goes with --run").arg(QLatin1String(name)));
    }
    if (parser.isSet(QStringLiteral("report")) && m_report.isEmpty())
        return wrong(QCoreApplication::translate("main", "--report needs a file name"));
    m_quiet = parser.isSet(QStringLiteral("quiet"));
    if (parser.isSet(QStringLiteral("pace"))) {
        const QString pace = parser.value(QStringLiteral("pace"));
        if (pace == QLatin1String("line"))
            m_pace = DeviceDialogue::Pace::Line;
        else if (pace != QLatin1String("window"))
            return wrong(QCoreApplication::translate("main", "--pace wants window or line, not '%1'")
                             .arg(pace));
    }
    if (parser.isSet(QStringLiteral("retries"))) {
        bool ok = false;
        m_retries = parser.value(QStringLiteral("retries")).toInt(&ok);
        if (!ok || m_retries < 0 || m_retries > 100)
            return wrong(QCoreApplication::translate(
                             "main", "--retries wants a whole number from 0 to 100, not '%1'")
                             .arg(parser.value(QStringLiteral("retries"))));
    }
    return !parser.isSet(QStringLiteral("list-ports")) && m_show.isEmpty();
}

int ProgramOptions::answer(Translations &translations) const
{
    // The options and Qt's own parser texts are translated when made: read
    // the line again once the translators are in.
    CommandLine::TextApplication app(translations);
    ProgramOptions translated;
    translated.m_arguments = m_arguments;
    QCommandLineParser parser;
    translated.read(parser);
    if (translated.m_request != Request::Proceed)
        return CommandLine::answer(translated.m_request, parser, translated.m_mistake);
    if (!translated.m_show.isEmpty())
        return showProgram(translated.m_show);
    // In one piece: on Windows it may be one message box.
    CommandLine::print(stdout, listOfPorts(translated.m_ports) + u'\n');
    return CommandLine::Ok;
}
