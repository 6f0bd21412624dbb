#include "narrow_list_arrow_style.h"

#include <QStyleOptionComplex>

QRect NarrowListArrowStyle::subControlRect(ComplexControl control, const QStyleOptionComplex *option,
                                           SubControl sub, const QWidget *widget) const
{
    QRect rect = QProxyStyle::subControlRect(control, option, sub, widget);
    if (control != CC_ComboBox || (sub != SC_ComboBoxArrow && sub != SC_ComboBoxEditField))
        return rect;
    // What the arrow gives up, the text gets.
    const int spare = QProxyStyle::subControlRect(control, option, SC_ComboBoxArrow, widget).width()
        - ListArrowWidth;
    if (spare <= 0)
        return rect;
    const bool arrowOnRight = option->direction != Qt::RightToLeft;
    if (sub == SC_ComboBoxArrow)
        arrowOnRight ? rect.setLeft(rect.left() + spare) : rect.setRight(rect.right() - spare);
    else
        arrowOnRight ? rect.setRight(rect.right() + spare) : rect.setLeft(rect.left() - spare);
    return rect;
}
