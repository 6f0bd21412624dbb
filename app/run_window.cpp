#include "run_window.h"

#include "board_line.h"
#include "command_line.h"
#include "display_failure.h"
#include "forced_exit_guard.h"
#include "form1.h"
#include "program_options.h"
#include "termination_watcher.h"
#include "translations.h"
#include "window_gone_filter.h"

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
    const ForcedExitGuard forcedExit([&form] { form.Form_Unload(); }, CommandLine::DisplayLost);
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
    // X11 only; elsewhere the filter never sees the event it looks for.
    WindowGoneFilter windowGone(form.windowHandle());
    QObject::connect(&windowGone, &WindowGoneFilter::windowGone, &form, unloadAndEnd);
    return app.exec();
}
