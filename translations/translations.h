#pragma once

#include <QLocale>
#include <QString>
#include <QTranslator>

// The programs' own texts, and Qt's, in the first of the desktop's languages
// they are translated into; English when none is. Loaded without an
// application object, so that a text can be translated before one exists.
class Translations
{
    Q_DISABLE_COPY_MOVE(Translations)

public:
    explicit Translations(const QLocale &locale = QLocale::system());

    // Needs the application object; the translators leave it again when
    // this object is destroyed.
    void install();
    // Usable before the application object exists.
    QString translate(const char *context, const char *sourceText) const;

private:
    QTranslator m_own;
    QTranslator m_qtBase;
    QTranslator m_qtSerialPort;
};
