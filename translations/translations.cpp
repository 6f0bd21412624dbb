#include "translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>

Translations::Translations(const QLocale &locale)
{
    // An English .qm is there too, holding only the plurals of counts, so
    // that a desktop listing English before Spanish gets English; a desktop
    // in neither language gets it as well.
    if (!m_own.load(locale, QStringLiteral("programador"), QStringLiteral("_"),
                    QStringLiteral(":/i18n"))
        && !m_own.load(QLocale(QLocale::English), QStringLiteral("programador"), QStringLiteral("_"),
                       QStringLiteral(":/i18n")))
        return;
    // Qt's own texts ("Usage:", "Unknown option", Qt SerialPort's errors) in
    // the same language, where the system has them: never Spanish from Qt
    // around English of ours.
    const QLocale chosen(m_own.language());
    const QString qtTranslations = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    // Either may be missing (package qt6-translations-l10n); Qt then speaks English.
    [[maybe_unused]] const bool base =
        m_qtBase.load(chosen, QStringLiteral("qtbase"), QStringLiteral("_"), qtTranslations);
    [[maybe_unused]] const bool serialPort = m_qtSerialPort.load(
        chosen, QStringLiteral("qtserialport"), QStringLiteral("_"), qtTranslations);
}

void Translations::install()
{
    for (QTranslator *translator : {&m_qtBase, &m_qtSerialPort, &m_own}) {
        if (!translator->isEmpty())
            QCoreApplication::installTranslator(translator);
    }
}

QString Translations::translate(const char *context, const char *sourceText) const
{
    const QString text = m_own.translate(context, sourceText);
    return text.isEmpty() ? QString::fromUtf8(sourceText) : text;
}
