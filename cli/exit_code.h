#pragma once

namespace CommandLine {

// How the programs end, as their manual pages document it: the first three
// are both programs', the others programador's. A new one goes at the end.
enum ExitCode {
    Ok = 0,
    Failure = 1,
    Usage = 2,
    NoDisplay = 3,
    DisplayLost = 4,
    SessionFileRefused = 5,
    SessionCheckFailed = 6,
    SessionPortFailed = 7,
    SessionPortBusy = 8,
    SessionReportFailed = 9,
    SessionInterrupted = 10,
    SessionNoAnswer = 11,
};

} // namespace CommandLine
