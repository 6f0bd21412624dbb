#include "display_failure_report.h"

#include "command_line.h"
#include "program_end.h"
#include "translations.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonObject>
#include <QLibraryInfo>
#include <QPluginLoader>

namespace {

struct Report
{
    const Translations *translations = nullptr;
    QString platform;
    QString display;
    int exitCode = 0;
} report;

const char *const NoDisplayText =
    QT_TRANSLATE_NOOP("main", "%1: no display to show the window on (DISPLAY is not set). Start "
                              "it in a desktop session, or try the demo without one: "
                              "xvfb-run -a %1 --demo");
const char *const DisplayRefusedText =
    QT_TRANSLATE_NOOP("main", "%1: cannot connect to the display \"%2\". Start it in a desktop "
                              "session, or try the demo without one: xvfb-run -a %1 --demo");
const char *const NoSuchPlatformText =
    QT_TRANSLATE_NOOP("main", "%1: there is no Qt platform plugin \"%2\". The ones installed "
                              "are: %3.");

// The names Qt's platform plugins answer to, read from their metadata
// without loading them.
QStringList installedPlatforms()
{
    QStringList names;
    const QDir dir(QLibraryInfo::path(QLibraryInfo::PluginsPath) + QStringLiteral("/platforms"));
    for (const QString &file : dir.entryList(QDir::Files)) {
        const QJsonObject metaData = QPluginLoader(dir.filePath(file)).metaData();
        const QJsonArray keys =
            metaData.value(QStringLiteral("MetaData")).toObject().value(QStringLiteral("Keys")).toArray();
        for (const QJsonValue &key : keys)
            names << key.toString();
    }
    names.sort(Qt::CaseInsensitive);
    return names;
}

// Qt takes a list of platforms separated by ';', each with optional
// arguments after ':'; it fails for want of a plugin only if none is there.
bool isInstalled(const QString &platforms, const QStringList &installed)
{
    for (const QString &platform : platforms.split(u';', Qt::SkipEmptyParts)) {
        if (installed.contains(platform.section(u':', 0, 0), Qt::CaseInsensitive))
            return true;
    }
    return false;
}

QString whatIsMissing()
{
    const QString name = QCoreApplication::applicationName();
    const Translations &tr = *report.translations;
    const QString platform =
        report.platform.isEmpty() ? qEnvironmentVariable("QT_QPA_PLATFORM") : report.platform;
    if (!platform.isEmpty()) {
        const QStringList installed = installedPlatforms();
        if (!isInstalled(platform, installed)) {
            return tr.translate("main", NoSuchPlatformText)
                .arg(name, platform, installed.join(QStringLiteral(", ")));
        }
    }
    const QString display =
        report.display.isEmpty() ? qEnvironmentVariable("DISPLAY") : report.display;
    if (display.isEmpty())
        return tr.translate("main", NoDisplayText).arg(name);
    return tr.translate("main", DisplayRefusedText).arg(name, display);
}

bool takeMessage(QtMsgType type, const QMessageLogContext &context, const QString &)
{
    if (type == QtFatalMsg) {
        CommandLine::print(stderr, whatIsMissing() + u'\n');
        ProgramEnd::now(report.exitCode);
    }
    // The platform plugin's own complaints lead up to the fatal one above.
    return context.category && qstrncmp(context.category, "qt.qpa", 6) == 0 && type != QtCriticalMsg;
}

} // namespace

DisplayFailureReport::DisplayFailureReport(const Translations &translations,
                                           const QString &platform, const QString &display,
                                           int exitCode)
{
    report = {&translations, platform, display, exitCode};
    ProgramEnd::filterMessages(takeMessage);
}

DisplayFailureReport::~DisplayFailureReport()
{
    ProgramEnd::filterMessages(nullptr);
}
