#pragma once

#include "session_file.h"

#include <QtGlobal>

// The steps of a session file a test wrote; none, and a warning naming the
// mistake, when the test wrote it wrong.
inline QList<SessionFile::Step> sessionSteps(const QByteArray &text)
{
    SessionFile::Mistake mistake;
    const auto parsed = SessionFile::parse(text, &mistake);
    if (!parsed)
        qWarning("line %d: %s", mistake.line, qPrintable(mistake.what));
    return parsed.value_or(QList<SessionFile::Step>{});
}
