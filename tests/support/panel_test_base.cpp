#include "panel_test_base.h"

#include "board_emulator.h"
#include "board_protocol.h"
#include "form1.h"
#include "qt_serial_channel.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QTest>

bool PanelTestBase::startPanel()
{
    board1 = new BoardEmulator(this);
    board2 = new BoardEmulator(this);
    if (!board1->start() || !board2->start())
        return false;
    PortMap ports;
    ports.setDevice(1, board1->devicePath());
    ports.setDevice(2, board2->devicePath());
    return rebuildForm(ports);
}

bool PanelTestBase::rebuildForm(const PortMap &ports)
{
    delete form;
    delete channel;
    channel = new QtSerialChannel(ports);
    form = new Form1(*channel);
    ui = &form->controls();
    form->show();
    return QTest::qWaitForWindowExposed(form);
}

void PanelTestBase::stopPanel()
{
    // The window first: it lets go of the ports before the boards go away.
    delete form;
    delete channel;
    delete board1;
    delete board2;
    form = nullptr;
    channel = nullptr;
    ui = nullptr;
    board1 = board2 = nullptr;
}

QByteArray PanelTestBase::portPickBytes()
{
    QByteArray bytes;
    for (const BoardProtocol::Command &c : BoardProtocol::portPickCommands())
        bytes += c.bytes;
    return bytes;
}

bool PanelTestBase::userPick(QComboBox *list, int index)
{
    list->showPopup();
    QAbstractItemView *view = list->view();
    if (!QTest::qWaitForWindowExposed(view->window()))
        return false;
    view->setCurrentIndex(view->model()->index(index, 0));
    QTest::keyClick(view, Qt::Key_Return);
    return QTest::qWaitFor([view] { return !view->isVisible(); });
}

void PanelTestBase::click(QPushButton *button)
{
    QTest::mouseClick(button, Qt::LeftButton);
}

bool PanelTestBase::busyShown() const
{
    return form->cursor().shape() == Qt::BusyCursor;
}

bool PanelTestBase::waitIdle(int ms)
{
    QTest::qWait(1);
    return QTest::qWaitFor([this] { return !busyShown(); }, ms);
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
