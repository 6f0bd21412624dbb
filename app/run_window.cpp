#include "run_window.h"

#include "board_line.h"
#include "command_line.h"
#include "display_failure_report.h"
#include "form1.h"
#include "program_window.h"
#include "program_options.h"
#include "termination_watcher.h"
#include "translations.h"
#include "x11_exit_guard.h"
#include "x11_window_destroyed_filter.h"

#include <QApplication>
#include <QIcon>

#include <optional>

int runWindow(int &argc, char **argv, const ProgramOptions &options, Translations &translations)
{
    std::optional<DisplayFailureReport> failureReport(
        std::in_place, translations, options.platform(), options.display(), CommandLine::NoDisplay);
    QApplication app(argc, argv);
    failureReport.reset();
    QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral(PROGRAMADOR_APP_ID),
        QIcon(QStringLiteral(":/" PROGRAMADOR_APP_ID ".png"))));
    // Lets desktops match the window to its menu entry.
    QGuiApplication::setDesktopFileName(QStringLiteral(PROGRAMADOR_APP_ID));
    translations.install();

    BoardLine line;
    QString error;
    if (!line.start(options.ports(), options.demo(), &error)) {
        CommandLine::print(stderr, QCoreApplication::translate(
                                       "main", "%1: cannot start an emulated board: %2")
                                           .arg(QCoreApplication::applicationName(), error)
                                       + u'\n');
        return CommandLine::Failure;
    }

    Form1 form(line.channel());
    QObject::connect(&form, &Form1::quitRequested, &app, &QCoreApplication::exit);
    // Ends the program does not choose, but hears of: the port is closed
    // first. Salir and closing the window unload the form themselves.
    const auto unloadAndEnd = [&form](int exitCode) {
        form.Form_Unload();
        QCoreApplication::exit(exitCode);
    };
    const X11ExitGuard displayLost(unloadAndEnd, CommandLine::DisplayLost);
    TerminationWatcher terminationWatcher;
    QObject::connect(&terminationWatcher, &TerminationWatcher::terminationRequested, &form,
                     [&unloadAndEnd] { unloadAndEnd(CommandLine::Ok); });
    // Windows' log-off and shut-down need nothing more: Qt quits from inside
    // WM_ENDSESSION, and quitting closes the window (closeEvent unloads it)
    // before the system ends the process.
    form.show();
    // A file handed over as desktop programs are handed files.
    if (!options.programFile().isEmpty())
        form.showProgramWindow().openFile(options.programFile());
    X11WindowDestroyedFilter windowDestroyed(form.windowHandle());
    QObject::connect(&windowDestroyed, &X11WindowDestroyedFilter::windowDestroyed, &form,
                     [&unloadAndEnd] { unloadAndEnd(CommandLine::Ok); });
    return app.exec();
}
