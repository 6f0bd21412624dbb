#pragma once

#include "session_file.h"

#include <QByteArray>
#include <QString>

// Whether a reply says what was asked: the field of a Minute, Bit or Mode
// command carries that value, the status code is one the file accepts, and
// the board answered at all. Judged on the reply's fields.
namespace ReplyCheck {

enum class Verdict { Ok, NoAnswer, WrongValue, UnexpectedCode };

struct Result
{
    Verdict verdict = Verdict::Ok;
    QString detail;   // what is wrong, in the user's language; empty when Ok
};

Result judge(const SessionFile::Step &step, const QByteArray &reply, bool timedOut);

// The verdict as the report writes it, the same in every language.
QString token(Verdict verdict);

} // namespace ReplyCheck
