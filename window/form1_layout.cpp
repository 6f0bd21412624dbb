#include "form1_layout.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QApplication>
#include <QComboBox>
#include <QCoreApplication>
#include <QFontInfo>
#include <QFontMetrics>
#include <QFrame>
#include <QLabel>
#include <QMenu>
#include <QProxyStyle>
#include <QPushButton>
#include <QStyle>
#include <QStyleFactory>
#include <QStyleOptionButton>
#include <QStyleOptionComboBox>
#include <QWidget>

#include <algorithm>
#include <cmath>

namespace {

// Room the drop-down arrow keeps, in pixels. Stock styles give it about 19,
// which on a 33 px list leaves no room for "10" at any readable size.
constexpr int ListArrowWidth = 11;

class NarrowListArrowStyle : public QProxyStyle
{
public:
    using QProxyStyle::QProxyStyle;

    QRect subControlRect(ComplexControl control, const QStyleOptionComplex *option,
                         SubControl sub, const QWidget *widget) const override
    {
        QRect rect = QProxyStyle::subControlRect(control, option, sub, widget);
        if (control != CC_ComboBox || (sub != SC_ComboBoxArrow && sub != SC_ComboBoxEditField))
            return rect;
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
};

// A status box reads as the reply it shows, and as nothing while it shows
// none. Qt's own interface for a label falls back to the caption beside it,
// so an empty box would be heard as "Ejecutar", a value that is not there.
class StatusBoxAccessible : public QAccessibleWidget
{
public:
    explicit StatusBoxAccessible(QLabel *box) : QAccessibleWidget(box, QAccessible::StaticText) {}

    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Name)
            return static_cast<const QLabel *>(widget())->text();
        return QAccessibleWidget::text(t);
    }
};

// The "Estado" caption, for screen readers a notification of the status:
// read as the caption and the boxes' last texts, and shown anew after each
// reply. The boxes never take focus and Qt 6.4 has no call to announce a
// text; a notification that shows is what Orca speaks unasked.
class StatusNoticeAccessible : public QAccessibleWidget
{
public:
    explicit StatusNoticeAccessible(QLabel *caption)
        : QAccessibleWidget(caption, QAccessible::Notification)
    {
    }

    QString text(QAccessible::Text t) const override;
};

// Which labels read otherwise than Qt reads them, for the factory below.
constexpr char ReadAsProperty[] = "programadorReadAs";
enum ReadAs { AsQtDoes, StatusBox, StatusNotice };
constexpr char NoticeProperty[] = "programadorNotice";

QString StatusNoticeAccessible::text(QAccessible::Text t) const
{
    if (t != QAccessible::Name)
        return QAccessibleWidget::text(t);
    const QString notice = widget()->property(NoticeProperty).toString();
    const QString caption = static_cast<const QLabel *>(widget())->text();
    return notice.isEmpty() ? caption : caption + QStringLiteral(": ") + notice;
}

QAccessibleInterface *readAsShown(const QString &, QObject *object)
{
    auto *label = qobject_cast<QLabel *>(object);
    if (!label)
        return nullptr;
    switch (label->property(ReadAsProperty).toInt()) {
    case StatusBox:
        return new StatusBoxAccessible(label);
    case StatusNotice:
        return new StatusNoticeAccessible(label);
    default:
        return nullptr;
    }
}

void readAs(QLabel *label, ReadAs how)
{
    label->setProperty(ReadAsProperty, how);
    // Qt makes a label's interface as soon as its text is set, when a
    // screen reader is running: made again, now that the label is marked.
    QAccessible::deleteAccessibleInterface(
        QAccessible::uniqueId(QAccessible::queryAccessibleInterface(label)));
}

// What a status box may have to show: the widest replies it gets.
const char *const StatusSamples[] = {"NO", "OK", "10", "One", "Sec."};

// Pixel sizes tried for the form's font, largest first.
constexpr int LargestFontPx = 13;
constexpr int SmallestFontPx = 7;

QStringList textsShownBy(const ControlSpec &row)
{
    QStringList texts;
    switch (row.kind) {
    case ControlKind::Caption:
    case ControlKind::Button:
        texts << QString::fromLatin1(row.text);
        break;
    case ControlKind::DropDownList:
        for (const char *entry : row.entries)
            texts << QString::fromLatin1(entry);
        break;
    case ControlKind::Box:
        for (const char *sample : StatusSamples)
            texts << QString::fromLatin1(sample);
        break;
    case ControlKind::Line:
        break;
    }
    return texts;
}

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

bool allTextsFit(const QHash<QString, QWidget *> &controls)
{
    for (const ControlSpec &row : Form1Layout::controls()) {
        QWidget *widget = controls.value(QString::fromLatin1(row.name));
        const QRect room = textRoom(widget);
        const QFontMetrics fm = widget->fontMetrics();
        for (const QString &text : textsShownBy(row)) {
            if (fm.horizontalAdvance(text) > room.width() || fm.height() > room.height())
                return false;
        }
    }
    return true;
}

// The controls keep sizes laid out for a small dialog font, tighter than
// today's defaults: take the largest size of the application's family at
// which nothing is clipped, falling back to its condensed face.
QFont chooseFont(QWidget *form, const QHash<QString, QWidget *> &controls)
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
            if (allTextsFit(controls))
                return font;
        }
    }
    // Nothing fits: the smallest, narrowest face clips least.
    return font;
}

} // namespace

const std::vector<ControlSpec> &Form1Layout::controls()
{
    using K = ControlKind;
    static const std::vector<ControlSpec> table = {
        {"Label3", K::Caption, "Min", {}, 120, 120, 495, 255, 5, nullptr, "LstMin"},
        {"Label4", K::Caption, "Bit", {}, 720, 120, 615, 255, 6, nullptr, "LstBit"},
        {"Label1", K::Caption, "Ejecutar", {}, 1320, 120, 735, 255, 11, nullptr, "LstSec"},
        {"LstPuerto", K::DropDownList, nullptr, {"Com1", "Com2"}, 2280, 0, 855, 315, 22, nullptr,
         nullptr, QT_TRANSLATE_NOOP("Form1Layout", "Serial port of the board"),
         QT_TRANSLATE_NOOP("Form1Layout", "Port")},
        {"LstMin", K::DropDownList, nullptr, {"1", "2", "3", "4", "5", "6", "7", "8", "9", "10"},
         120, 360, 495, 315, 2, nullptr},
        {"LstBit", K::DropDownList, nullptr, {"0", "1", "2", "3", "4", "5", "6", "7"},
         720, 360, 495, 315, 4, nullptr},
        {"LstSec", K::DropDownList, nullptr, {"Una", "Sec."}, 1320, 360, 615, 315, 10, nullptr},
        {"PbConectar", K::Button, "Conectar", {}, 2280, 480, 855, 375, 1, nullptr},
        {"Label5", K::Caption, "Borrar", {}, 120, 840, 1215, 375, 7, nullptr},
        {"PbBorraMinutos", K::Button, "Minutos", {}, 120, 1200, 855, 375, 3,
         "Borra todos los Bits, los minutos seleccionados"},
        {"PbBorraBitMin", K::Button, "Bit/Min", {}, 1200, 1200, 855, 375, 8,
         "Borra solo el Bit y Minutos seleccionados"},
        {"PbProgramar", K::Button, "Programar", {}, 120, 1920, 855, 495, 9, nullptr},
        {"PbStart", K::Button, "Start", {}, 1200, 1920, 855, 495, 12, nullptr},
        {"PbSalir", K::Button, "Salir", {}, 2280, 1920, 855, 495, 0, nullptr},
        {"Line1", K::Line, nullptr, {}, 120, 2640, 2880, 0, -1, nullptr},
        {"Label10", K::Caption, "Estado", {}, 120, 2760, 735, 255, 21, nullptr},
        {"Label6", K::Caption, "Min", {}, 120, 3120, 375, 375, 17, nullptr, "LbMin"},
        {"Label7", K::Caption, "Bit", {}, 720, 3120, 375, 255, 18, nullptr, "LbBit"},
        {"Label8", K::Caption, "Ejecutar", {}, 1320, 3120, 735, 255, 19, nullptr, "LbEjecutar"},
        {"Label9", K::Caption, "RX", {}, 2400, 3120, 735, 255, 20, nullptr, "LBRX"},
        {"LbMin", K::Box, nullptr, {}, 120, 3480, 495, 255, 16, nullptr},
        {"LbBit", K::Box, nullptr, {}, 720, 3480, 495, 255, 13, nullptr},
        {"LbEjecutar", K::Box, nullptr, {}, 1320, 3480, 495, 255, 14, nullptr},
        {"LBRX", K::Box, nullptr, {}, 2400, 3480, 495, 255, 15, nullptr},
    };
    return table;
}

QRect Form1Layout::toPixels(int left, int top, int width, int height)
{
    const auto px = [](int twips) {
        return static_cast<int>(std::lround(static_cast<double>(twips) / TwipsPerPixel));
    };
    return QRect(px(left), px(top), px(width), px(height));
}

Form1Layout::Form1Layout(QWidget *form)
{
    static const bool labelsReadAsShown = [] {
        QAccessible::installFactory(readAsShown);
        return true;
    }();
    Q_UNUSED(labelsReadAsShown);
    form->setWindowTitle(QStringLiteral("Programar en tiempo rreal"));
    form->setFixedSize(toPixels(0, 0, ClientWidthTwips, ClientHeightTwips).size());

    // Owned by the form; follows whatever style the application runs with.
    auto *listStyle = new NarrowListArrowStyle(QStyleFactory::create(QApplication::style()->name()));
    listStyle->setParent(form);

    std::vector<const ControlSpec *> focusable;
    for (const ControlSpec &row : controls()) {
        const QString name = QString::fromLatin1(row.name);
        QRect geometry = toPixels(row.left, row.top, row.width, row.height);
        QWidget *widget = nullptr;

        switch (row.kind) {
        case ControlKind::Caption: {
            auto *label = new QLabel(QString::fromLatin1(row.text), form);
            label->setTextFormat(Qt::PlainText);
            label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
            widget = label;
            break;
        }
        case ControlKind::Box: {
            auto *box = new QLabel(form);
            readAs(box, StatusBox);
            // Replies are raw bytes from the board; never let them turn into markup.
            box->setTextFormat(Qt::PlainText);
            box->setFrameStyle(QFrame::Box | QFrame::Plain);
            box->setLineWidth(1);
            box->setAlignment(Qt::AlignLeft | Qt::AlignTop);
            widget = box;
            break;
        }
        case ControlKind::DropDownList: {
            auto *list = new QComboBox(form);
            list->setStyle(listStyle);
            list->setEditable(false);
            for (const char *entry : row.entries)
                list->addItem(QString::fromLatin1(entry));
            // Nothing is picked until the user or a handler picks it.
            list->setCurrentIndex(-1);
            widget = list;
            focusable.push_back(&row);
            break;
        }
        case ControlKind::Button: {
            auto *button = new QPushButton(QString::fromLatin1(row.text), form);
            // No default button: Return pressed in a list presses no button.
            button->setAutoDefault(false);
            button->setDefault(false);
            widget = button;
            focusable.push_back(&row);
            break;
        }
        case ControlKind::Line: {
            auto *line = new QFrame(form);
            line->setFrameStyle(QFrame::HLine | QFrame::Plain);
            line->setLineWidth(1);
            // A zero-height widget paints nothing; give the line its one pixel.
            geometry.setHeight(std::max(geometry.height(), 1));
            widget = line;
            break;
        }
        }

        widget->setObjectName(name);
        widget->setGeometry(geometry);
        if (row.kind != ControlKind::DropDownList && row.kind != ControlKind::Button)
            widget->setFocusPolicy(Qt::NoFocus);
        if (row.hint)
            widget->setToolTip(QString::fromLatin1(row.hint));
        // Words of our own for screen readers, in the user's language.
        if (row.description)
            widget->setAccessibleDescription(
                QCoreApplication::translate("Form1Layout", row.description));
        if (row.accessibleName)
            widget->setAccessibleName(QCoreApplication::translate("Form1Layout", row.accessibleName));
        m_controls.insert(name, widget);
    }

    // Screen readers take a caption's buddy as the "labelled by" relation and
    // keep reading the control itself as its value. No accessible name: on a
    // status box it would be read instead of the reply.
    for (const ControlSpec &row : controls()) {
        if (row.buddy)
            qobject_cast<QLabel *>(control(QString::fromLatin1(row.name)))
                ->setBuddy(control(QString::fromLatin1(row.buddy)));
    }

    readAs(qobject_cast<QLabel *>(control(QStringLiteral("Label10"))), StatusNotice);

    LstPuerto = qobject_cast<QComboBox *>(control(QStringLiteral("LstPuerto")));
    LstMin = qobject_cast<QComboBox *>(control(QStringLiteral("LstMin")));
    LstBit = qobject_cast<QComboBox *>(control(QStringLiteral("LstBit")));
    LstSec = qobject_cast<QComboBox *>(control(QStringLiteral("LstSec")));
    PbConectar = qobject_cast<QPushButton *>(control(QStringLiteral("PbConectar")));
    PbBorraMinutos = qobject_cast<QPushButton *>(control(QStringLiteral("PbBorraMinutos")));
    PbBorraBitMin = qobject_cast<QPushButton *>(control(QStringLiteral("PbBorraBitMin")));
    PbProgramar = qobject_cast<QPushButton *>(control(QStringLiteral("PbProgramar")));
    PbStart = qobject_cast<QPushButton *>(control(QStringLiteral("PbStart")));
    PbSalir = qobject_cast<QPushButton *>(control(QStringLiteral("PbSalir")));
    LBRX = qobject_cast<QLabel *>(control(QStringLiteral("LBRX")));
    LbMin = qobject_cast<QLabel *>(control(QStringLiteral("LbMin")));
    LbBit = qobject_cast<QLabel *>(control(QStringLiteral("LbBit")));
    LbEjecutar = qobject_cast<QLabel *>(control(QStringLiteral("LbEjecutar")));
    Line1 = qobject_cast<QFrame *>(control(QStringLiteral("Line1")));

    std::stable_sort(focusable.begin(), focusable.end(),
                     [](const ControlSpec *a, const ControlSpec *b) { return a->tabIndex < b->tabIndex; });
    for (std::size_t i = 1; i < focusable.size(); ++i)
        QWidget::setTabOrder(control(QString::fromLatin1(focusable[i - 1]->name)),
                             control(QString::fromLatin1(focusable[i]->name)));
    if (!focusable.empty())
        control(QString::fromLatin1(focusable.front()->name))->setFocus();

    mnprog = new QMenu(QStringLiteral("&Programa"), form);
    mnprog->setObjectName(QStringLiteral("mnprog"));
    mninfo = mnprog->addAction(QStringLiteral("Informacion"));
    mninfo->setObjectName(QStringLiteral("mninfo"));
    // A separator with text is drawn as a section title by some styles, so keep it bare.
    mnexxx = mnprog->addSeparator();
    mnexxx->setObjectName(QStringLiteral("mnexxx"));
    mnexit = mnprog->addAction(QStringLiteral("Salir"));
    mnexit->setObjectName(QStringLiteral("mnexit"));

    form->setFont(chooseFont(form, m_controls));
}

QWidget *Form1Layout::control(const QString &name) const
{
    return m_controls.value(name, nullptr);
}

void Form1Layout::tellStatus() const
{
    // Each box under its caption, in the order the reply carries them;
    // a blank box is left out.
    QStringList said;
    for (const char *name : {"LBRX", "LbMin", "LbBit", "LbEjecutar"}) {
        const QString shown = qobject_cast<QLabel *>(control(QLatin1String(name)))->text().trimmed();
        if (shown.isEmpty())
            continue;
        for (const ControlSpec &row : controls()) {
            if (row.buddy && qstrcmp(row.buddy, name) == 0)
                said << QString::fromLatin1(row.text) + u' ' + shown;
        }
    }
    QWidget *notice = control(QStringLiteral("Label10"));
    notice->setProperty(NoticeProperty, said.join(QStringLiteral(", ")));
    // Its name changed (readers keep names they were told), and it shows anew.
    QAccessibleEvent renamed(notice, QAccessible::NameChanged);
    QAccessible::updateAccessibility(&renamed);
    QAccessibleEvent shown(notice, QAccessible::ObjectShow);
    QAccessible::updateAccessibility(&shown);
}
