#include "font_fitting.h"

#include <QApplication>
#include <QComboBox>
#include <QFontInfo>
#include <QFontMetrics>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionButton>
#include <QStyleOptionComboBox>

namespace {

// Pixel sizes tried, largest first.
constexpr int LargestFontPx = 13;
constexpr int SmallestFontPx = 7;

// The area the style leaves for text inside the control, at its current font.
QRect textRoom(QWidget *widget)
{
    if (auto *button = qobject_cast<QPushButton *>(widget)) {
        QStyleOptionButton opt;
        opt.initFrom(button);
        opt.text = button->text();
        return button->style()->subElementRect(QStyle::SE_PushButtonContents, &opt, button);
    }
    if (auto *combo = qobject_cast<QComboBox *>(widget)) {
        QStyleOptionComboBox opt;
        opt.initFrom(combo);
        opt.editable = combo->isEditable();
        opt.frame = combo->hasFrame();
        opt.subControls = QStyle::SC_All;
        // The style draws the picked entry 1 px inside the edit field, clipped to it.
        return combo->style()->subControlRect(QStyle::CC_ComboBox, &opt,
                                              QStyle::SC_ComboBoxEditField, combo)
            .adjusted(1, 0, -1, 0);
    }
    if (auto *label = qobject_cast<QLabel *>(widget)) {
        QRect room = label->contentsRect().marginsRemoved(
            QMargins(label->margin(), label->margin(), label->margin(), label->margin()));
        // QLabel indents framed text by half an 'x' unless told otherwise.
        int indent = label->indent();
        if (indent < 0)
            indent = label->frameWidth() > 0
                ? label->fontMetrics().horizontalAdvance(QLatin1Char('x')) / 2 : 0;
        room.setLeft(room.left() + indent);
        return room;
    }
    return widget->rect();
}

bool allTextsFit(const FontFitting::ShownTexts &shown)
{
    for (const auto &[widget, texts] : shown) {
        const QRect room = textRoom(widget);
        const QFontMetrics fm = widget->fontMetrics();
        for (const QString &text : texts) {
            if (fm.horizontalAdvance(text) > room.width() || fm.height() > room.height())
                return false;
        }
    }
    return true;
}

} // namespace

namespace FontFitting {

QFont fit(QWidget *form, const ShownTexts &shown)
{
    const QString family = QFontInfo(QApplication::font()).family();
    QList<QFont> faces;
    faces << QFont(family);
    const QString condensed = family + QStringLiteral(" Condensed");
    if (QFontInfo(QFont(condensed)).family() == condensed)
        faces << QFont(condensed);

    QFont font;
    for (QFont face : faces) {
        for (int px = LargestFontPx; px >= SmallestFontPx; --px) {
            face.setPixelSize(px);
            font = face;
            form->setFont(font);
            if (allTextsFit(shown))
                return font;
        }
    }
    return font;
}

} // namespace FontFitting
