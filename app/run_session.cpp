#include "run_session.h"

#include "board_line.h"
#include "command_line.h"
#include "program_options.h"
#include "session_console.h"
#include "session_file.h"
#include "session_report.h"
#include "session_runner.h"
#include "standard_streams.h"
#include "termination_watcher.h"
#include "translations.h"

#include <QFile>
#include <QTimer>

namespace {

// The whole file, or why not; a file past the limit is read just past it,
// for the parser to refuse.
bool readAll(const QString &name, QByteArray *text, QString *error)
{
    QFile file;
    const bool opened = name == QLatin1String("-")
        ? file.open(stdin, QIODevice::ReadOnly)
        : (file.setFileName(name), file.open(QIODevice::ReadOnly));
    if (!opened) {
        *error = file.errorString();
        return false;
    }
    *text = file.read(SessionFile::MaxFileSize + 1);
    if (file.error() != QFileDevice::NoError) {
        *error = file.errorString();
        return false;
    }
    return true;
}

int exitCodeFor(SessionRunner::Outcome outcome)
{
    using Outcome = SessionRunner::Outcome;
    switch (outcome) {
    case Outcome::Done: return CommandLine::Ok;
    case Outcome::CheckFailed: return CommandLine::SessionCheckFailed;
    case Outcome::PortFailed: return CommandLine::SessionPortFailed;
    case Outcome::PortBusy: return CommandLine::SessionPortBusy;
    case Outcome::ReportFailed: return CommandLine::SessionReportFailed;
    case Outcome::Interrupted: return CommandLine::SessionInterrupted;
    }
    return CommandLine::Failure;
}

// Before the session, at once: nothing is queued yet.
void say(FILE *stream, const QString &line) { CommandLine::print(stream, line + u'\n'); }

// Only where standard error is a terminal that nothing else writes to: not
// the trace, and not the exchange lines, whose writer would cut into it.
bool progressWanted(const ProgramOptions &options)
{
    return !options.trace() && CommandLine::isTerminal(stderr) && !CommandLine::isTerminal(stdout);
}

// The progress line goes straight to the terminal, past the writers: it is
// rewritten in place, and stands only where standard error is a terminal.
void showProgress(const QString &text)
{
    // Padded over what stood there before.
    const QString line = u'\r' + text.leftJustified(79) + (text.isEmpty() ? QStringLiteral("\r") : QString());
    CommandLine::writeToTerminal(stderr, line);
}

} // namespace

int runSession(const ProgramOptions &options, Translations &translations)
{
    CommandLine::TextApplication app(translations);
    const QString program = QCoreApplication::applicationName();

    // All of it is read and checked before anything is sent.
    const QString &file = options.sessionFile();
    const QString fileName = file == QLatin1String("-") ? QCoreApplication::translate("session", "standard input") : file;
    QByteArray text;
    QString error;
    if (!readAll(file, &text, &error)) {
        say(stderr, QCoreApplication::translate("session", "%1: cannot read %2: %3").arg(program, fileName, error));
        return CommandLine::SessionFileRefused;
    }
    SessionFile::Mistake mistake;
    const auto steps = SessionFile::parse(text, &mistake);
    if (!steps) {
        say(stderr, mistake.line > 0
                        ? QStringLiteral("%1:%2:%3: %4").arg(fileName).arg(mistake.line)
                              .arg(mistake.column).arg(mistake.what)
                        : QStringLiteral("%1: %2").arg(fileName, mistake.what));
        return CommandLine::SessionFileRefused;
    }
    SessionReport report;
    const QString reportFailed = QCoreApplication::translate("session", "cannot write the report %1: %2.");
    if (!options.reportFile().isEmpty() && !report.open(options.reportFile())) {
        say(stderr, program + QStringLiteral(": ")
                        + reportFailed.arg(options.reportFile(), report.errorString()));
        return CommandLine::SessionReportFailed;
    }

    BoardLine line;
    if (!line.start(options.ports(), options.demo(), &error)) {
        say(stderr, QCoreApplication::translate("main", "%1: cannot start an emulated board: %2")
                        .arg(program, error));
        return CommandLine::Failure;
    }
    SessionRunner runner(line.channel(), *steps, options.retries());
    // While it runs, nothing it prints may hold it up: the writers' threads
    // wait for slow readers.
    LineWriter &out = StandardStreams::output();
    LineWriter &err = StandardStreams::error();
    SessionConsole console(
        runner, [&out](const QString &l) { out.writeLine(l.toLocal8Bit()); },
        [&err](const QString &l) { err.writeLine(l.toLocal8Bit()); },
        progressWanted(options) ? SessionConsole::Sink(showProgress) : SessionConsole::Sink());
    // Whoever reads its lines has gone (`| head`): as if told to stop.
    QObject::connect(&out, &LineWriter::readerLeft, &runner, [&runner] {
        runner.stop(SessionRunner::Outcome::Interrupted,
                    QCoreApplication::translate("session", "whoever read its output has gone"));
    });
    QObject::connect(&runner, &SessionRunner::exchanged, &runner,
                     [&](const SessionRunner::Record &record) {
        console.exchanged(record);
        // A session never goes on without the report it was asked to keep.
        if (!options.reportFile().isEmpty() && !report.write(record))
            runner.stop(SessionRunner::Outcome::ReportFailed,
                        reportFailed.arg(options.reportFile(), report.errorString()));
    });
    QObject::connect(&runner, &SessionRunner::finished, &runner,
                     [&](SessionRunner::Outcome outcome, const QString &why) {
        console.finished(outcome, why);
        QCoreApplication::exit(exitCodeFor(outcome));
    });
    // Ctrl+C, kill, a closed terminal: the exchange under way ends, then the port closes.
    TerminationWatcher terminationWatcher;
    QObject::connect(&terminationWatcher, &TerminationWatcher::terminationRequested, &runner,
                     [&runner] {
        runner.stop(SessionRunner::Outcome::Interrupted, QCoreApplication::translate("session", "told to stop"));
    });
    QTimer::singleShot(0, &runner, [&] {
        console.started();
        runner.start();
    });
    const int code = QCoreApplication::exec();
    // The lines and the summary are the session's record: a reader that
    // keeps up gets them all; one that is stuck is not waited for long.
    out.drain(std::chrono::seconds(10));
    return code;
}
