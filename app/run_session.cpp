#include "run_session.h"

#include "board_line.h"
#include "command_line.h"
#include "program_options.h"
#include "read_session_file.h"
#include "session_console.h"
#include "session_report.h"
#include "session_runner.h"
#include "standard_streams.h"
#include "termination_watcher.h"
#include "translations.h"

#include <QTimer>

namespace {

int exitCodeFor(Session::Outcome outcome)
{
    using Session::Outcome;
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
    const auto steps = readSessionFile(options.sessionFile());
    if (!steps)
        return CommandLine::SessionFileRefused;
    SessionReport report;
    const QString reportFailed = QCoreApplication::translate("session", "cannot write the report %1: %2.");
    if (!options.reportFile().isEmpty() && !report.open(options.reportFile())) {
        say(stderr, program + QStringLiteral(": ")
                        + reportFailed.arg(options.reportFile(), report.errorString()));
        return CommandLine::SessionReportFailed;
    }

    BoardLine line;
    QString error;
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
        runner.plan(), [&out](const QString &l) { out.writeLine(l.toLocal8Bit()); },
        [&err](const QString &l) { err.writeLine(l.toLocal8Bit()); },
        progressWanted(options) ? SessionConsole::Sink(showProgress) : SessionConsole::Sink());
    // Whoever reads its lines has gone (`| head`): as if told to stop.
    QObject::connect(&out, &LineWriter::readerLeft, &runner, [&runner] {
        runner.stop(Session::Outcome::Interrupted,
                    QCoreApplication::translate("session", "whoever read its output has gone"));
    });
    QObject::connect(&runner, &SessionRunner::exchanged, &runner,
                     [&](const Session::Record &record) {
        console.exchanged(record);
        // A session never goes on without the report it was asked to keep.
        if (!options.reportFile().isEmpty() && !report.write(record))
            runner.stop(Session::Outcome::ReportFailed,
                        reportFailed.arg(options.reportFile(), report.errorString()));
    });
    QObject::connect(&runner, &SessionRunner::finished, &runner,
                     [&](const Session::Summary &summary) {
        console.finished(summary);
        QCoreApplication::exit(exitCodeFor(summary.outcome));
    });
    // Ctrl+C, kill, a closed terminal: the exchange under way ends, then the port closes.
    TerminationWatcher terminationWatcher;
    QObject::connect(&terminationWatcher, &TerminationWatcher::terminationRequested, &runner,
                     [&runner] {
        runner.stop(Session::Outcome::Interrupted, QCoreApplication::translate("session", "told to stop"));
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
