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
    case Outcome::NoAnswer: return CommandLine::SessionNoAnswer;
    }
    return CommandLine::Failure;
}

// Before the session, at once: nothing is queued yet.
void say(FILE *stream, const QString &line) { CommandLine::print(stream, line + u'\n'); }

// Where the progress line stands: below the exchange lines on standard
// output's terminal, which they scroll past in order through the same writer;
// else on standard error's. Not beside the trace on one terminal: its lines
// come from another writer and would cut into it.
LineWriter *progressWriter(const ProgramOptions &options, bool outTerminal, bool errTerminal)
{
    if (options.quiet() || (options.trace() && errTerminal))
        return nullptr;
    if (outTerminal)
        return &StandardStreams::output();
    return errTerminal ? &StandardStreams::error() : nullptr;
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
    SessionRunner runner(line.channel(), *steps, options.retries(), options.pace());
    // While it runs, nothing it prints may hold it up: the writers' threads
    // wait for slow readers.
    LineWriter &out = StandardStreams::output();
    LineWriter &err = StandardStreams::error();
    const bool outTerminal = CommandLine::isTerminal(stdout);
    const bool errTerminal = CommandLine::isTerminal(stderr);
    LineWriter *const progress = progressWriter(options, outTerminal, errTerminal);
    SessionConsole console(
        runner.plan(), [&out](const QString &l) { out.writeLine(l.toLocal8Bit()); },
        [&err, &out, progress](const QString &l) {
            // Once the progress line has gone from standard output's terminal.
            if (progress == &out)
                out.drain(std::chrono::seconds(1));
            err.writeLine(l.toLocal8Bit());
        },
        progress ? SessionConsole::Sink([progress](const QString &l) {
            progress->setStatusLine(l.toLocal8Bit());
        }) : SessionConsole::Sink());
    console.setQuiet(options.quiet());
    // Lines that go to a file still end with a word on the terminal.
    if (!outTerminal && errTerminal)
        console.setTerminal([&err](const QString &l) { err.writeLine(l.toLocal8Bit()); });
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
