#include "panel_test_base.h"

#include "board_emulator.h"
#include "form1.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QTest>

void PanelTestBase::startPanel()
{
    board1 = new BoardEmulator(this);
    board2 = new BoardEmulator(this);
    QVERIFY(board1->start());
    QVERIFY(board2->start());
    PortMap ports;
    ports.setDevice(1, board1->devicePath());
    ports.setDevice(2, board2->devicePath());
    rebuildForm(ports);
}

void PanelTestBase::rebuildForm(const PortMap &ports)
{
    delete form;
    form = new Form1(ports);
    ui = &form->controls();
    form->show();
    QVERIFY(QTest::qWaitForWindowExposed(form));
}

void PanelTestBase::stopPanel()
{
    // The window first: it lets go of the ports before the boards go away.
    delete form;
    delete board1;
    delete board2;
    form = nullptr;
    ui = nullptr;
    board1 = board2 = nullptr;
}

void PanelTestBase::userPick(QComboBox *list, int index)
{
    list->showPopup();
    QAbstractItemView *view = list->view();
    QVERIFY(QTest::qWaitForWindowExposed(view->window()));
    view->setCurrentIndex(view->model()->index(index, 0));
    QTest::keyClick(view, Qt::Key_Return);
    QTRY_VERIFY(!view->isVisible());
}

void PanelTestBase::click(QPushButton *button)
{
    QTest::mouseClick(button, Qt::LeftButton);
}

bool PanelTestBase::waitIdle(int ms)
{
    QTest::qWait(1);
    return QTest::qWaitFor([this] { return !form->isWorking(); }, ms);
}

QStringList PanelTestBase::boxes() const
{
    return {ui->LBRX->text(), ui->LbMin->text(), ui->LbBit->text(), ui->LbEjecutar->text()};
}

QStringList PanelTestBase::lists() const
{
    return {ui->LstPuerto->currentText(), ui->LstMin->currentText(), ui->LstBit->currentText(),
            ui->LstSec->currentText()};
}
