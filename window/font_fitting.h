#pragma once

#include <QFont>
#include <QStringList>

#include <utility>
#include <vector>

class QWidget;

// The window's controls keep sizes laid out for a small dialog font, tighter
// than today's defaults.
namespace FontFitting {

// Each control with every text it may have to show.
using ShownTexts = std::vector<std::pair<QWidget *, QStringList>>;

// Sets on `form`, and gives, the largest size of the application's family at
// which no control clips a text it may show, falling back to the family's
// condensed face; where nothing fits, the smallest, narrowest face.
QFont fit(QWidget *form, const ShownTexts &shown);

} // namespace FontFitting
