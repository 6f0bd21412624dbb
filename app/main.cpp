// programador: the panel's window, or with --run a session from a file
// without one, on the system's serial ports or the demo's emulated boards.

#include "command_line.h"
#include "line_trace.h"
#include "program_end.h"
#include "program_options.h"
#include "run_session.h"
#include "run_window.h"
#include "translations.h"

int main(int argc, char *argv[])
{
    QCoreApplication::setApplicationName(QStringLiteral("programador"));
    QCoreApplication::setApplicationVersion(QStringLiteral(PROGRAMADOR_VERSION));
    ProgramEnd::begin();

    // The desktop's language, chosen before any application object exists.
    Translations translations;
    // Read before the GUI starts, so --help, --version, --list-ports,
    // mistakes and sessions work without a display.
    const ProgramOptions options(CommandLine::arguments(argc, argv));
    if (!options.runs())
        return options.answer(translations);
    LineTrace::setUp(options.trace());

    if (!options.sessionFile().isEmpty())
        return runSession(options, translations);
    return runWindow(argc, argv, options, translations);
}
