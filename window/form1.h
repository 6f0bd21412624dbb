#pragma once

#include "board_protocol.h"
#include "device_dialogue.h"
#include "form1_layout.h"
#include "panel_hand_work.h"
#include "serial_channel.h"

#include <QWidget>

#include <functional>
#include <memory>

class ProgramWindow;
class QComboBox;
class QMessageBox;

// The panel's one window. Each control event has its handler, named after
// the control and the event; the user's picks live in form-level variables.
//
// The board is slow (up to 300 ms per command): every handler runs at once,
// fixing its command's bytes (or the port to switch to) from the entry picked
// at that moment, and the exchange carries the work out in that order.
class Form1 : public QWidget, public PanelHandWork
{
    Q_OBJECT

public:
    // The panel on this channel (the system's ports, or the demo's boards),
    // which outlives the window.
    explicit Form1(SerialChannel &channel, QWidget *parent = nullptr);
    ~Form1() override;

    const Form1Layout &controls() const { return ui; }

    // The board's program window, beside the panel; made when first asked for.
    ProgramWindow &showProgramWindow();
    // The port the port list shows picked; while a program is sent, the
    // person's own work in the panel waits, in order, until released.
    qint16 portPicked() const override;
    void holdHandWork() override;
    void releaseHandWork() override;
    void showPicked(qint16 minute, qint16 bit, qint16 mode) override;

    // The handlers, one per event.
    void Form_Load();
    void LstPuerto_Click();
    void LstMin_Click();
    void LstBit_Click();
    void LstSec_Click();
    void PbConectar_Click();
    void PbBorraMinutos_Click();
    void PbBorraBitMin_Click();
    void PbProgramar_Click();
    void PbStart_Click();
    void PbSalir_Click();
    void Form_Unload();

signals:
    // Salir: the program must end now with this exit code.
    void quitRequested(int exitCode);
    // A failure told to the user, in the words shown.
    void reported(const QString &message);

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    using Handler = void (Form1::*)();

    void pickByProgram(QComboBox *list, int index, Handler handler);
    void showStatus(const BoardProtocol::ReplyFields &status);
    void onChannelError(SerialChannel::Failure failure, const QString &said);
    static QString otherDevice();
    void report(const QString &message);
    void prepareMessageBox();
    void stopAllWork();
    void onPortSwitched(qint16 port, bool opened);
    void send(const QByteArray &orden, QComboBox *picked = nullptr);
    void showInformation();

    Form1Layout ui;
    SerialChannel &serie;
    DeviceDialogue m_dialogue;
    QMessageBox *m_message = nullptr;
    bool m_replyToTell = false;
    std::unique_ptr<ProgramWindow> m_programWindow;
    bool m_handWorkHeld = false;
    QList<std::function<void()>> m_handWorkWaiting;

    // Form-level state: the user's picks, as the board knows them.
    qint16 Puerto = 0;
    qint16 Minuto = 0;
    qint16 Bit = 0;
    qint16 Modo = 0;
};
