#include "form1_layout.h"
#include "translations.h"

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QFontInfo>
#include <QFrame>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QScopeGuard>
#include <QStyle>
#include <QStyleOptionButton>
#include <QStyleOptionComboBox>
#include <QTest>

#include <algorithm>

// The window as the user must see it, in pixels at 96 dpi (15 twips each).
struct Expected {
    const char *name;
    ControlKind kind;
    const char *text;
    QRect px;
};

static const Expected Window[] = {
    {"Label3", ControlKind::Caption, "Min", {8, 8, 33, 17}},
    {"Label4", ControlKind::Caption, "Bit", {48, 8, 41, 17}},
    {"Label1", ControlKind::Caption, "Ejecutar", {88, 8, 49, 17}},
    {"LstPuerto", ControlKind::DropDownList, "", {152, 0, 57, 21}},
    {"LstMin", ControlKind::DropDownList, "", {8, 24, 33, 21}},
    {"LstBit", ControlKind::DropDownList, "", {48, 24, 33, 21}},
    {"LstSec", ControlKind::DropDownList, "", {88, 24, 41, 21}},
    {"PbConectar", ControlKind::Button, "Conectar", {152, 32, 57, 25}},
    {"Label5", ControlKind::Caption, "Borrar", {8, 56, 81, 25}},
    {"PbBorraMinutos", ControlKind::Button, "Minutos", {8, 80, 57, 25}},
    {"PbBorraBitMin", ControlKind::Button, "Bit/Min", {80, 80, 57, 25}},
    {"PbProgramar", ControlKind::Button, "Programar", {8, 128, 57, 33}},
    {"PbStart", ControlKind::Button, "Start", {80, 128, 57, 33}},
    {"PbSalir", ControlKind::Button, "Salir", {152, 128, 57, 33}},
    {"Line1", ControlKind::Line, "", {8, 176, 192, 1}},
    {"Label10", ControlKind::Caption, "Estado", {8, 184, 49, 17}},
    {"Label6", ControlKind::Caption, "Min", {8, 208, 25, 25}},
    {"Label7", ControlKind::Caption, "Bit", {48, 208, 25, 17}},
    {"Label8", ControlKind::Caption, "Ejecutar", {88, 208, 49, 17}},
    {"Label9", ControlKind::Caption, "RX", {160, 208, 49, 17}},
    {"LbMin", ControlKind::Box, "", {8, 232, 33, 17}},
    {"LbBit", ControlKind::Box, "", {48, 232, 33, 17}},
    {"LbEjecutar", ControlKind::Box, "", {88, 232, 33, 17}},
    {"LBRX", ControlKind::Box, "", {160, 232, 33, 17}},
};

static const QStringList TabOrder = {
    "PbSalir", "PbConectar", "LstMin", "PbBorraMinutos", "LstBit",
    "PbBorraBitMin", "PbProgramar", "LstSec", "PbStart", "LstPuerto",
};

static const QStringList StatusTexts = {"NO", "OK", "10", "One", "Sec."};

Q_DECLARE_METATYPE(ControlKind)

class TestForm1Layout : public QObject
{
    Q_OBJECT

    QWidget *m_form = nullptr;
    Form1Layout *m_layout = nullptr;

    // The controls sit in the client area, under the menu bar.
    QWidget *widget(const QString &name) const
    {
        return m_layout->client->findChild<QWidget *>(name, Qt::FindDirectChildrenOnly);
    }

private slots:
    void initTestCase()
    {
        m_form = new QWidget;
        m_layout = new Form1Layout(m_form);
        m_form->show();
        QApplication::setActiveWindow(m_form);
        QVERIFY(QTest::qWaitForWindowExposed(m_form));
        QTRY_VERIFY(m_form->isActiveWindow());
    }

    void cleanupTestCase()
    {
        delete m_layout;
        delete m_form;
    }

    // Runs first: nothing else has moved the focus yet.
    void focusStartsOnSalir()
    {
        QTRY_COMPARE(QApplication::focusWidget(), widget("PbSalir"));
    }

    void tabWalksTheDocumentedOrder_data()
    {
        QTest::addColumn<bool>("backwards");
        QTest::newRow("Tab") << false;
        QTest::newRow("Shift+Tab") << true;
    }

    void tabWalksTheDocumentedOrder()
    {
        QFETCH(bool, backwards);
        widget("PbSalir")->setFocus();
        QTRY_COMPARE(QApplication::focusWidget(), widget("PbSalir"));

        QStringList visited;
        for (int i = 0; i < TabOrder.size(); ++i) {
            QTest::keyClick(QApplication::focusWidget(), backwards ? Qt::Key_Backtab : Qt::Key_Tab,
                            backwards ? Qt::ShiftModifier : Qt::NoModifier);
            visited << QApplication::focusWidget()->objectName();
        }
        // Ten steps go all the way round, back to Salir.
        QStringList expected = TabOrder.mid(1) << TabOrder.first();
        if (backwards) {
            expected = TabOrder;
            std::reverse(expected.begin(), expected.end());
        }
        QCOMPARE(visited, expected);
    }

    void toPixelsRounds_data()
    {
        QTest::addColumn<QList<int>>("twips");
        QTest::addColumn<QRect>("pixels");
        QTest::newRow("exact") << QList<int>{120, 1920, 855, 495} << QRect(8, 128, 57, 33);
        QTest::newRow("nearest") << QList<int>{7, 8, 22, 23} << QRect(0, 1, 1, 2);
        QTest::newRow("zero height") << QList<int>{120, 2640, 2880, 0} << QRect(8, 176, 192, 0);
    }

    void toPixelsRounds()
    {
        QFETCH(QList<int>, twips);
        QFETCH(QRect, pixels);
        QCOMPARE(Form1Layout::toPixels(twips[0], twips[1], twips[2], twips[3]), pixels);
    }

    void window()
    {
        QCOMPARE(m_form->windowTitle(), QStringLiteral("Programar en tiempo rreal"));
        // The client area keeps its size under the menu bar, which adds its own height.
        QCOMPARE(m_layout->client->geometry(), QRect(0, m_layout->menuBar->height(), 222, 263));
        QCOMPARE(m_layout->menuBar->geometry(), QRect(0, 0, 222, m_layout->menuBar->height()));
        QVERIFY(m_layout->menuBar->height() > 0);
        const QSize whole(222, 263 + m_layout->menuBar->height());
        QCOMPARE(m_form->size(), whole);
        QCOMPARE(m_form->minimumSize(), whole);
        QCOMPARE(m_form->maximumSize(), whole);
        QVERIFY(m_form->toolTip().isEmpty());

        // Nothing beyond the documented controls, the menu bar and the client area.
        QStringList names;
        for (const Expected &e : Window)
            names << e.name;
        for (QWidget *child : m_layout->client->findChildren<QWidget *>(QString(), Qt::FindDirectChildrenOnly))
            QVERIFY2(names.contains(child->objectName()), qPrintable(child->objectName()));
        const QList<QWidget *> top = m_form->findChildren<QWidget *>(QString(), Qt::FindDirectChildrenOnly);
        QCOMPARE(top.size(), 2);
        QVERIFY(top.contains(m_layout->menuBar) && top.contains(m_layout->client));
    }

    void controls_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<ControlKind>("kind");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QRect>("geometry");
        for (const Expected &e : Window)
            QTest::newRow(e.name) << QString::fromLatin1(e.name) << e.kind << QString::fromLatin1(e.text) << e.px;
    }

    void controls()
    {
        QFETCH(QString, name);
        QFETCH(ControlKind, kind);
        QFETCH(QString, text);
        QFETCH(QRect, geometry);

        QWidget *w = widget(name);
        QVERIFY(w);
        QCOMPARE(m_form->findChildren<QWidget *>(name).size(), 1);
        QCOMPARE(m_layout->control(name), w);
        QCOMPARE(w->geometry(), geometry);
        QVERIFY(w->isVisible());
        QVERIFY(w->isEnabled());

        switch (kind) {
        case ControlKind::Caption:
        case ControlKind::Box: {
            auto *label = qobject_cast<QLabel *>(w);
            QVERIFY(label);
            QCOMPARE(label->text(), text);
            QCOMPARE(label->focusPolicy(), Qt::NoFocus);
            QVERIFY(!label->textInteractionFlags().testFlag(Qt::TextEditable));
            break;
        }
        case ControlKind::DropDownList:
            QVERIFY(qobject_cast<QComboBox *>(w));
            QVERIFY(w->focusPolicy() & Qt::TabFocus);
            break;
        case ControlKind::Button: {
            auto *button = qobject_cast<QPushButton *>(w);
            QVERIFY(button);
            QCOMPARE(button->text(), text);
            QVERIFY(!button->autoDefault());
            QVERIFY(!button->isDefault());
            QVERIFY(w->focusPolicy() & Qt::TabFocus);
            break;
        }
        case ControlKind::Line: {
            auto *line = qobject_cast<QFrame *>(w);
            QVERIFY(line);
            QVERIFY(!qobject_cast<QLabel *>(w));
            QCOMPARE(line->frameShape(), QFrame::HLine);
            QCOMPARE(line->frameShadow(), QFrame::Plain);
            QCOMPARE(line->focusPolicy(), Qt::NoFocus);
            break;
        }
        }
    }

    void listsOfferExactlyTheirEntries_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QStringList>("entries");
        QTest::newRow("LstPuerto") << "LstPuerto" << QStringList{"Com1", "Com2"};
        QTest::newRow("LstMin") << "LstMin"
                                << QStringList{"1", "2", "3", "4", "5", "6", "7", "8", "9", "10"};
        QTest::newRow("LstBit") << "LstBit" << QStringList{"0", "1", "2", "3", "4", "5", "6", "7"};
        QTest::newRow("LstSec") << "LstSec" << QStringList{"Una", "Sec."};
    }

    void listsOfferExactlyTheirEntries()
    {
        QFETCH(QString, name);
        QFETCH(QStringList, entries);
        auto *list = qobject_cast<QComboBox *>(widget(name));
        QVERIFY(list);
        QStringList shown;
        for (int i = 0; i < list->count(); ++i)
            shown << list->itemText(i);
        QCOMPARE(shown, entries);
        QVERIFY(!list->isEditable());
        QCOMPARE(list->currentIndex(), -1);
    }

    void boxesShowRepliesLiterally_data()
    {
        QTest::addColumn<QString>("name");
        for (const Expected &e : Window)
            if (e.kind == ControlKind::Box)
                QTest::newRow(e.name) << QString::fromLatin1(e.name);
    }

    void boxesShowRepliesLiterally()
    {
        QFETCH(QString, name);
        auto *box = qobject_cast<QLabel *>(widget(name));
        QVERIFY(box);
        QVERIFY(box->text().isEmpty());
        QCOMPARE(box->frameShape(), QFrame::Box);
        QCOMPARE(box->frameShadow(), QFrame::Plain);
        QCOMPARE(box->lineWidth(), 1);
        QCOMPARE(box->textFormat(), Qt::PlainText);

        const QString reply = QStringLiteral("<b>x");
        box->setText(reply);
        // As markup only a bold "x" would be laid out; literally it needs all four characters.
        QVERIFY(box->sizeHint().width() >= box->fontMetrics().horizontalAdvance(reply));
        box->clear();
    }

    void hintsOnlyOnTheEraseButtons_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("hint");
        for (const Expected &e : Window) {
            QString hint;
            if (qstrcmp(e.name, "PbBorraMinutos") == 0)
                hint = QStringLiteral("Borra todos los Bits, los minutos seleccionados");
            else if (qstrcmp(e.name, "PbBorraBitMin") == 0)
                hint = QStringLiteral("Borra solo el Bit y Minutos seleccionados");
            QTest::newRow(e.name) << QString::fromLatin1(e.name) << hint;
        }
    }

    void hintsOnlyOnTheEraseButtons()
    {
        QFETCH(QString, name);
        QFETCH(QString, hint);
        QCOMPARE(widget(name)->toolTip(), hint);
    }

    // What a screen reader gets: each list and status box is labelled by the
    // caption beside it and reads as what it shows; the port list has a name
    // and a description of its own, the erase buttons their hints. With
    // nothing shown yet, a list reads as its caption or name, and a status
    // box as empty: never as a reply that is not there.
    void screenReadersHearCaptionsAndValues_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("description");
        QTest::addColumn<QString>("readEmpty");
        QTest::newRow("LstMin") << "LstMin" << "Label3" << "" << "Min";
        QTest::newRow("LstBit") << "LstBit" << "Label4" << "" << "Bit";
        QTest::newRow("LstSec") << "LstSec" << "Label1" << "" << "Ejecutar";
        QTest::newRow("LstPuerto") << "LstPuerto" << "" << "Serial port of the board" << "Port";
        QTest::newRow("LbMin") << "LbMin" << "Label6" << "" << "";
        QTest::newRow("LbBit") << "LbBit" << "Label7" << "" << "";
        QTest::newRow("LbEjecutar") << "LbEjecutar" << "Label8" << "" << "";
        QTest::newRow("LBRX") << "LBRX" << "Label9" << "" << "";
        QTest::newRow("PbBorraMinutos") << "PbBorraMinutos" << ""
                                        << "Borra todos los Bits, los minutos seleccionados"
                                        << "Minutos";
        QTest::newRow("PbBorraBitMin") << "PbBorraBitMin" << ""
                                       << "Borra solo el Bit y Minutos seleccionados" << "Bit/Min";
    }

    void screenReadersHearCaptionsAndValues()
    {
        QFETCH(QString, name);
        QFETCH(QString, caption);
        QFETCH(QString, description);
        QFETCH(QString, readEmpty);
        QWidget *w = widget(name);
        QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(w);
        QVERIFY(iface);

        QList<QObject *> labels;
        for (const auto &relation : iface->relations(QAccessible::Label))
            labels << relation.first->object();
        QCOMPARE(labels, caption.isEmpty() ? QList<QObject *>() : QList<QObject *>{widget(caption)});
        QCOMPARE(iface->text(QAccessible::Description), description);
        QCOMPARE(iface->text(QAccessible::Name), readEmpty);

        // Read with something shown: the picked entry, the board's reply, the button's text.
        auto *list = qobject_cast<QComboBox *>(w);
        auto *box = qobject_cast<QLabel *>(w);
        if (list)
            list->setCurrentIndex(list->count() - 1);
        if (box)
            box->setText(QStringLiteral("OK"));
        // Leave the window as the other tests expect it, pass or fail.
        const auto restore = qScopeGuard([list, box] {
            if (list)
                list->setCurrentIndex(-1);
            if (box)
                box->clear();
        });
        const QString shown = list ? list->itemText(list->count() - 1)
            : box ? QStringLiteral("OK") : qobject_cast<QPushButton *>(w)->text();
#ifdef Q_OS_UNIX
        QCOMPARE(iface->text(QAccessible::Name), shown);
#else
        // Qt's way on Windows: a list keeps the name it has empty, its entry is its value.
        if (list) {
            QCOMPARE(iface->text(QAccessible::Name), readEmpty);
            QCOMPARE(iface->text(QAccessible::Value), shown);
        } else {
            QCOMPARE(iface->text(QAccessible::Name), shown);
        }
#endif
    }

    void portListSpeaksTheUsersLanguage_data()
    {
        QTest::addColumn<QLocale>("locale");
        QTest::addColumn<QString>("readEmpty");
        QTest::addColumn<QString>("description");
        QTest::newRow("English") << QLocale(QLocale::English, QLocale::UnitedKingdom) << "Port"
                                 << "Serial port of the board";
        QTest::newRow("Spanish") << QLocale(QLocale::Spanish, QLocale::Spain) << "Puerto"
                                 << "Puerto serie de la placa";
    }

    void portListSpeaksTheUsersLanguage()
    {
        QFETCH(QLocale, locale);
        QFETCH(QString, readEmpty);
        QFETCH(QString, description);
        Translations language(locale);
        language.install();
        QWidget form;
        Form1Layout layout(&form);
        QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(layout.LstPuerto);
        QVERIFY(iface);
        QCOMPARE(iface->text(QAccessible::Name), readEmpty);
        QCOMPARE(iface->text(QAccessible::Description), description);
    }

    // Shown above the client area; Alt+P opens it. Its entries' behaviour is the panel's.
    void menuIsShown()
    {
        auto *menu = m_form->findChild<QMenu *>(QStringLiteral("mnprog"));
        QVERIFY(menu);
        QCOMPARE(menu, m_layout->mnprog);
        QCOMPARE(menu->title(), QStringLiteral("&Programa"));
        QCOMPARE(m_layout->menuBar->actions(), QList<QAction *>{menu->menuAction()});
        QVERIFY(m_layout->menuBar->isVisible());

        const QList<QAction *> entries = menu->actions();
        QCOMPARE(entries.size(), 4);
        QCOMPARE(entries[0], m_layout->mnplaca);
        QCOMPARE(entries[0]->text(), QStringLiteral("Programa de la placa..."));
        QVERIFY(!entries[0]->shortcut().isEmpty());
        QCOMPARE(entries[1], m_layout->mninfo);
        QCOMPARE(entries[1]->objectName(), QStringLiteral("mninfo"));
        QCOMPARE(entries[1]->text(), QStringLiteral("Informacion"));
        QCOMPARE(entries[2], m_layout->mnexxx);
        QCOMPARE(entries[2]->objectName(), QStringLiteral("mnexxx"));
        QVERIFY(entries[2]->isSeparator());
        QCOMPARE(entries[3], m_layout->mnexit);
        QCOMPARE(entries[3]->objectName(), QStringLiteral("mnexit"));
        QCOMPARE(entries[3]->text(), QStringLiteral("Salir"));

        // Alt+P opens it, Escape closes it.
        QTest::keyClick(m_form, Qt::Key_P, Qt::AltModifier);
        QTRY_VERIFY(menu->isVisible());
        QTest::keyClick(menu, Qt::Key_Escape);
        QTRY_VERIFY(!menu->isVisible());
    }

    void nothingIsClipped_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("text");
        for (const ControlSpec &row : Form1Layout::controls()) {
            QStringList texts;
            if (row.kind == ControlKind::Caption || row.kind == ControlKind::Button)
                texts << QString::fromLatin1(row.text);
            else if (row.kind == ControlKind::Box)
                texts = StatusTexts;
            else
                for (const char *entry : row.entries)
                    texts << QString::fromLatin1(entry);
            for (const QString &text : texts)
                QTest::addRow("%s %s", row.name, qPrintable(text)) << QString::fromLatin1(row.name) << text;
        }
    }

    void nothingIsClipped()
    {
        QFETCH(QString, name);
        QFETCH(QString, text);
        QWidget *w = widget(name);
        QVERIFY(w);

        QRect room;
        if (auto *button = qobject_cast<QPushButton *>(w)) {
            QStyleOptionButton opt;
            opt.initFrom(button);
            opt.text = text;
            room = button->style()->subElementRect(QStyle::SE_PushButtonContents, &opt, button);
        } else if (auto *list = qobject_cast<QComboBox *>(w)) {
            QStyleOptionComboBox opt;
            opt.initFrom(list);
            opt.frame = list->hasFrame();
            opt.editable = list->isEditable();
            opt.currentText = text;
            // The picked entry is drawn 1 px inside the edit field and clipped to it.
            room = list->style()->subControlRect(QStyle::CC_ComboBox, &opt,
                                                 QStyle::SC_ComboBoxEditField, list)
                       .adjusted(1, 0, -1, 0);
        } else if (auto *label = qobject_cast<QLabel *>(w)) {
            room = label->contentsRect();
            int indent = label->indent();
            if (indent < 0 && label->frameWidth() > 0)
                indent = label->fontMetrics().horizontalAdvance(QLatin1Char('x')) / 2;
            room.setLeft(room.left() + qMax(indent, 0) + label->margin());
            room.setRight(room.right() - label->margin());
        }
        QVERIFY(room.isValid());

        const QFontMetrics fm = w->fontMetrics();
        QVERIFY2(fm.horizontalAdvance(text) <= room.width(),
                 qPrintable(QStringLiteral("%1 px wide in %2").arg(fm.horizontalAdvance(text)).arg(room.width())));
        QVERIFY2(fm.height() <= room.height(),
                 qPrintable(QStringLiteral("%1 px high in %2").arg(fm.height()).arg(room.height())));
        // Fitting by shrinking the text to nothing is not fitting.
        QVERIFY(QFontInfo(w->font()).pixelSize() >= 7);
    }
};

QTEST_MAIN(TestForm1Layout)
#include "tst_form1_layout.moc"
