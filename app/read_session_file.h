#pragma once

#include "session_file.h"

#include <QList>
#include <QString>

#include <optional>

// The steps of the session file named on the command line ("-": standard
// input), read whole and checked; or none, once standard error has said
// why: that it cannot be read, or "file:line:column: what" is wrong in it,
// for each of its mistakes.
// Both --run and --show then exit with SessionFileRefused. Needs the
// application object, for the user's language.
std::optional<QList<SessionFile::Step>> readSessionFile(const QString &file);
