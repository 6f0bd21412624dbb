#include "read_session_file.h"

#include "command_line.h"

#include <QCoreApplication>
#include <QFile>

namespace {

// The whole file, or why not; a file past the limit is read just past it,
// for the parser to refuse.
bool readAll(const QString &name, QByteArray *text, QString *error)
{
    QFile file;
    const bool opened = name == QLatin1String("-")
        ? file.open(stdin, QIODevice::ReadOnly)
        : (file.setFileName(name), file.open(QIODevice::ReadOnly));
    if (!opened) {
        *error = file.errorString();
        return false;
    }
    *text = file.read(SessionFile::MaxFileSize + 1);
    if (file.error() != QFileDevice::NoError) {
        *error = file.errorString();
        return false;
    }
    return true;
}

void say(const QString &line) { CommandLine::print(stderr, line + u'\n'); }

} // namespace

std::optional<QList<SessionFile::Step>> readSessionFile(const QString &file)
{
    const QString fileName = file == QLatin1String("-") ? QCoreApplication::translate("session", "standard input") : file;
    QByteArray text;
    QString error;
    if (!readAll(file, &text, &error)) {
        say(QCoreApplication::translate("session", "%1: cannot read %2: %3")
                .arg(QCoreApplication::applicationName(), fileName, error));
        return std::nullopt;
    }
    SessionFile::Mistakes mistakes;
    auto steps = SessionFile::parse(text, &mistakes);
    if (!steps)
        say(SessionFile::describe(fileName, mistakes));
    return steps;
}
