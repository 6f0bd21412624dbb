#pragma once

#include "session_record.h"

#include <QFile>
#include <QString>

// The session's record for spreadsheets and scripts: CSV with a header, one
// row per exchange, written and flushed as each exchange ends, so a session
// cut short leaves the rows up to where it stopped. Texts are quoted and
// bytes outside printable ASCII escaped as \xNN, so the file stays text.
class SessionReport
{
public:
    // Opens (truncates) the file and writes the header: false, with the
    // system's words in errorString(), if that cannot be done.
    bool open(const QString &path);
    bool write(const Session::Record &record);
    QString errorString() const { return m_file.errorString(); }

private:
    bool put(const QByteArray &row);

    QFile m_file;
};
