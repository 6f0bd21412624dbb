#pragma once

// programador's own exit codes, after the ones both programs share
// (CommandLine::ExitCode); documented in the manual pages.
enum ExitCode {
    NoDisplay = 3,
    DisplayLost = 4,
    SessionFileRefused = 5,
    SessionCheckFailed = 6,
    SessionPortFailed = 7,
    SessionPortBusy = 8,
    SessionReportFailed = 9,
    SessionInterrupted = 10,
};
