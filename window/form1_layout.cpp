#include "form1_layout.h"

#include "font_fitting.h"
#include "narrow_list_arrow_style.h"
#include "status_reading.h"

#include <QApplication>
#include <QComboBox>
#include <QCoreApplication>
#include <QFrame>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QStyle>
#include <QStyleFactory>
#include <QWidget>

#include <algorithm>
#include <cmath>

namespace {

// What a status box may have to show: the widest replies it gets.
const char *const StatusSamples[] = {"NO", "OK", "10", "One", "Sec."};

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

Form1Layout::Form1Layout(QWidget *window)
{
    window->setWindowTitle(QStringLiteral("Programar en tiempo rreal"));
    menuBar = new QMenuBar(window);
    menuBar->setObjectName(QStringLiteral("menuBar"));
    client = new QWidget(window);
    client->setObjectName(QStringLiteral("client"));
    QWidget *const form = client;
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
            StatusReading::readAsStatusBox(box);
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

    StatusReading::readAsNotice(qobject_cast<QLabel *>(control(QStringLiteral("Label10"))));

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

    mnprog = menuBar->addMenu(QStringLiteral("&Programa"));
    mnprog->setObjectName(QStringLiteral("mnprog"));
    mnplaca = mnprog->addAction(QStringLiteral("Programa de la placa..."));
    mnplaca->setObjectName(QStringLiteral("mnplaca"));
    mnplaca->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_P));
    mninfo = mnprog->addAction(QStringLiteral("Informacion"));
    mninfo->setObjectName(QStringLiteral("mninfo"));
    // A separator with text is drawn as a section title by some styles, so keep it bare.
    mnexxx = mnprog->addSeparator();
    mnexxx->setObjectName(QStringLiteral("mnexxx"));
    mnexit = mnprog->addAction(QStringLiteral("Salir"));
    mnexit->setObjectName(QStringLiteral("mnexit"));

    FontFitting::ShownTexts shown;
    for (const ControlSpec &row : controls())
        shown.emplace_back(control(QString::fromLatin1(row.name)), textsShownBy(row));
    FontFitting::fit(form, shown);

    // The client area under the menu bar, in the menu bar's own height.
    const int barHeight = menuBar->sizeHint().height();
    menuBar->setGeometry(0, 0, form->width(), barHeight);
    form->move(0, barHeight);
    window->setFixedSize(form->width(), barHeight + form->height());
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
    StatusReading::tell(qobject_cast<QLabel *>(control(QStringLiteral("Label10"))),
                        said.join(QStringLiteral(", ")));
}
