#pragma once

#include "device_dialogue.h"
#include "reply_check.h"
#include "session_file.h"

#include <QByteArray>
#include <QObject>
#include <QString>

#include <optional>

// What a session tells of itself, as plain values: a record per exchange
// as it ends, and a summary at the end. Whoever shows or stores them needs
// nothing of the runner.
namespace Session {
Q_NAMESPACE

// CheckFailed: a wrong answer or status code; NoAnswer: silence, after any retries.
enum class Outcome { Done, CheckFailed, PortFailed, PortBusy, ReportFailed, Interrupted, NoAnswer };
Q_ENUM_NS(Outcome)

// One exchange as it ended.
struct Record
{
    double seconds = 0;       // since the session started
    SessionFile::Step step;   // the step it carried out
    QByteArray reply;         // as read, or the time-out marker
    bool timedOut = false;
    int attempt = 1;          // 2 and on: sent again after a time-out
    ReplyCheck::Result result;
    bool retrying = false;    // failed, and goes out again
};

// What the file asks before it starts.
struct Plan
{
    qsizetype exchanges = 0;   // once each
    double floorSeconds = 0;   // the least they can take, all answered
};

// How the session ended.
struct Summary
{
    Outcome outcome = Outcome::Done;
    QString why;            // the channel's words, or the interruption's; empty for Done and CheckFailed
    std::optional<SessionFile::Step> at;   // the step under way or last done; none past the end
    qsizetype exchanges = 0;   // every one sent, retries among them
    qsizetype planned = 0;     // the exchanges of the file, once each
    int retries = 0;
    int failures = 0;
    double seconds = 0;
    double floorSeconds = 0;   // the least the exchanges done could take
    DeviceDialogue::Pace pace = DeviceDialogue::Pace::Window;   // which that floor is
    qint16 port = 0;           // the port in use at the end, and its device
    QString device;
};

} // namespace Session
