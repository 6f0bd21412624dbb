#pragma once

#include <QString>

class Translations;

// Qt gives up inside QApplication's constructor when its platform plugin
// cannot start (no display, a display that refuses us, a plugin that is not
// installed), with abort() and advice to reinstall. While an object of this
// class lives, such an end says instead in one line, in the user's language,
// what is missing, and ends with `exitCode`. The translators cannot be
// installed yet at that point: the translations are asked directly.
class DisplayFailureReport
{
    Q_DISABLE_COPY_MOVE(DisplayFailureReport)

public:
    // platform and display: as asked for on the command line (empty if not).
    DisplayFailureReport(const Translations &translations, const QString &platform,
                         const QString &display, int exitCode);
    ~DisplayFailureReport();
};
