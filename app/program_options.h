#pragma once

#include "command_line.h"
#include "device_dialogue.h"
#include "port_map.h"

#include <QCommandLineParser>
#include <QString>
#include <QStringList>

class Translations;

// programador's command line: what to run (the window, or a session from a
// file) on which ports, and the answers that end the program at once
// (--help, --version, --list-ports, --show, mistakes). Read before any
// application object exists, so none of it needs a display.
class ProgramOptions
{
public:
    explicit ProgramOptions(const QStringList &arguments);

    // False: help, the version, the port list, a file's program or a mistake
    // is all there is to do.
    bool runs() const { return m_runs; }
    // Prints that answer in the user's language; the exit code.
    int answer(Translations &translations) const;

    const PortMap &ports() const { return m_ports; }
    bool trace() const { return m_trace; }
    bool demo() const { return m_demo; }
    // The session file ("-": standard input); empty for the window.
    const QString &sessionFile() const { return m_session; }
    int retries() const { return m_retries; }
    DeviceDialogue::Pace pace() const { return m_pace; }
    bool quiet() const { return m_quiet; }
    // A board program to open in the program window at start; empty for none.
    const QString &programFile() const { return m_programFile; }
    const QString &reportFile() const { return m_report; }
    // Qt's own -platform and -display, for saying why a display failed.
    const QString &platform() const { return m_platform; }
    const QString &display() const { return m_display; }

private:
    ProgramOptions() = default;
    bool read(QCommandLineParser &parser);

    QStringList m_arguments;
    PortMap m_ports;
    CommandLine::Request m_request = CommandLine::Request::Proceed;
    QString m_mistake;
    bool m_runs = false;
    bool m_trace = false;
    bool m_demo = false;
    QString m_session;
    QString m_show;
    int m_retries = 0;
    DeviceDialogue::Pace m_pace = DeviceDialogue::Pace::Window;
    bool m_quiet = false;
    QString m_report;
    QString m_programFile;
    QString m_platform;
    QString m_display;
};
