#include "form1.h"

#include "port_advice.h"
#include "program_window.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QShowEvent>
#include <QTimer>

#include <utility>

using namespace BoardProtocol;

static constexpr int MessageBoxWarmUpMs = 500;

Form1::Form1(SerialChannel &channel, QWidget *parent)
    : QWidget(parent)
    , ui(this)
    , serie(channel)
    , m_dialogue(&serie)
{
    // activated: a user's pick, by mouse, key or wheel, even of the same entry.
    const std::pair<QComboBox *, Handler> lists[] = {
        {ui.LstPuerto, &Form1::LstPuerto_Click},
        {ui.LstMin, &Form1::LstMin_Click},
        {ui.LstBit, &Form1::LstBit_Click},
        {ui.LstSec, &Form1::LstSec_Click},
    };
    for (const auto &[list, handler] : lists)
        connect(list, &QComboBox::activated, this, handler);
    const std::pair<QPushButton *, Handler> buttons[] = {
        {ui.PbConectar, &Form1::PbConectar_Click},
        {ui.PbBorraMinutos, &Form1::PbBorraMinutos_Click},
        {ui.PbBorraBitMin, &Form1::PbBorraBitMin_Click},
        {ui.PbProgramar, &Form1::PbProgramar_Click},
        {ui.PbStart, &Form1::PbStart_Click},
        {ui.PbSalir, &Form1::PbSalir_Click},
    };
    for (const auto &[button, handler] : buttons) {
        connect(button, &QPushButton::clicked, this, handler);
        button->installEventFilter(this);
    }

    connect(&m_dialogue, &DeviceDialogue::statusChanged, this, &Form1::showStatus);
    // A blind user hears the reply once the work asked for is done: once for
    // the four commands of a port pick, not four times over.
    connect(&m_dialogue, &DeviceDialogue::exchangeFinished, this, [this] { m_replyToTell = true; });
    connect(&m_dialogue, &DeviceDialogue::idle, this, [this] {
        if (std::exchange(m_replyToTell, false))
            ui.tellStatus();
    });
    connect(&m_dialogue, &DeviceDialogue::refused, this,
            [this](const QByteArray &, const QString &message) { report(message); });
    connect(&m_dialogue, &DeviceDialogue::portSwitched, this, &Form1::onPortSwitched);
    // Work waits its turn behind a slow board: say so, as desktop programs do.
    connect(&m_dialogue, &DeviceDialogue::busyChanged, this, [this](bool busy) {
        if (busy)
            setCursor(Qt::BusyCursor);
        else
            unsetCursor();
    });
    connect(&serie, &SerialChannel::errorOccurred, this, &Form1::onChannelError);

    connect(ui.mnplaca, &QAction::triggered, this, [this] { showProgramWindow(); });
    connect(ui.mninfo, &QAction::triggered, this, &Form1::showInformation);
    connect(ui.mnexit, &QAction::triggered, this, &Form1::PbSalir_Click);

    Form_Load();
}

Form1::~Form1()
{
    // Before the exchange it sends through goes.
    m_programWindow.reset();
    stopAllWork();
}

ProgramWindow &Form1::showProgramWindow()
{
    if (!m_programWindow) {
        m_programWindow = std::make_unique<ProgramWindow>(*this, serie, m_dialogue);
        // Beside the panel, not over it.
        m_programWindow->move(frameGeometry().topRight() + QPoint(8, 0));
    }
    m_programWindow->show();
    m_programWindow->raise();
    m_programWindow->activateWindow();
    return *m_programWindow;
}

qint16 Form1::portPicked() const
{
    return qint16(ui.LstPuerto->currentIndex() + 1);
}

void Form1::holdHandWork()
{
    m_handWorkHeld = true;
}

void Form1::releaseHandWork()
{
    m_handWorkHeld = false;
    for (const auto &work : std::exchange(m_handWorkWaiting, {}))
        work();
}

void Form1::showPicked(qint16 minute, qint16 bit, qint16 mode)
{
    ui.LstMin->setCurrentIndex(minute - 1);
    ui.LstBit->setCurrentIndex(bit);
    ui.LstSec->setCurrentIndex(mode);
}

void Form1::send(const QByteArray &orden, QComboBox *picked)
{
    // Its bytes are fixed now, from what is picked now; a pick that waits
    // is shown in its list again as it goes, whatever was shown meanwhile.
    if (m_handWorkHeld) {
        const int index = picked ? picked->currentIndex() : -1;
        m_handWorkWaiting.append([this, orden, picked, index] {
            if (picked)
                picked->setCurrentIndex(index);
            m_dialogue.EnviaOrden(orden);
        });
    } else {
        m_dialogue.EnviaOrden(orden);
    }
}

// A pick made by the program delivers the pick event like a user's pick,
// whether or not the entry changes.
void Form1::pickByProgram(QComboBox *list, int index, Handler handler)
{
    list->setCurrentIndex(index);
    (this->*handler)();
}

void Form1::Form_Load()
{
    // Nothing: no port opens and no entry is picked until the user says so.
}

void Form1::LstPuerto_Click()
{
    if (m_handWorkHeld) {
        const int picked = ui.LstPuerto->currentIndex();
        m_handWorkWaiting.append([this, picked] {
            ui.LstPuerto->setCurrentIndex(picked);
            LstPuerto_Click();
        });
        return;
    }
    Puerto = qint16(ui.LstPuerto->currentIndex() + 1);
    // Closes the open port and opens the picked one, after the work asked before.
    if (!m_dialogue.switchPort(Puerto))
        return;   // the channel has said why; nothing goes to a port that is not there
    // The lists show what the board is brought back to; Conectar goes last.
    for (const Command &command : portPickCommands()) {
        switch (command.field) {
        case Field::Minute:
            pickByProgram(ui.LstMin, command.value - 1, &Form1::LstMin_Click);
            break;
        case Field::Bit:
            pickByProgram(ui.LstBit, command.value, &Form1::LstBit_Click);
            break;
        case Field::Mode:
            pickByProgram(ui.LstSec, command.value, &Form1::LstSec_Click);
            break;
        case Field::None:
            send(command.bytes);
            break;
        }
    }
}

void Form1::LstMin_Click()
{
    Minuto = qint16(ui.LstMin->currentIndex() + 1);
    send(minuteCommand(Minuto), ui.LstMin);
}

void Form1::LstBit_Click()
{
    Bit = qint16(ui.LstBit->currentIndex());
    send(bitCommand(Bit), ui.LstBit);
}

void Form1::LstSec_Click()
{
    Modo = qint16(ui.LstSec->currentIndex());
    send(modeCommand(Modo), ui.LstSec);
}

void Form1::PbConectar_Click()
{
    send(connectCommand());
}

void Form1::PbBorraMinutos_Click()
{
    send(eraseMinutesCommand());
}

void Form1::PbBorraBitMin_Click()
{
    send(eraseBitMinuteCommand());
}

void Form1::PbProgramar_Click()
{
    send(programCommand());
}

void Form1::PbStart_Click()
{
    send(startCommand());
}

void Form1::PbSalir_Click()
{
    Form_Unload();
    // A program not saved is not lost: its window asks first, and the
    // program ends once it has gone.
    if (m_programWindow && m_programWindow->isModified()) {
        hide();
        m_programWindow->close();
        return;
    }
    emit quitRequested(0);
}

void Form1::Form_Unload()
{
    if (m_programWindow)
        m_programWindow->abandonSending();
    stopAllWork();
    serie.close();
}

void Form1::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    // Building the first message box loads image plugins and icon themes
    // (about 15 ms of CPU): do it once the window is up, not when a port fails.
    if (!m_message && !event->spontaneous())
        QTimer::singleShot(MessageBoxWarmUpMs, this, &Form1::prepareMessageBox);
}

// The panel's users come from Windows, where Enter presses the focused button
// as Space does. Qt only does that for default buttons, which would also take
// Enter pressed in a list and draw differently; so the buttons get it here.
bool Form1::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
        const Qt::KeyboardModifiers others = key->modifiers() & ~Qt::KeypadModifier;
        if (enter && others == Qt::NoModifier) {
            // Held down, it presses once, as Space does.
            if (!key->isAutoRepeat())
                static_cast<QPushButton *>(watched)->click();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void Form1::closeEvent(QCloseEvent *event)
{
    Form_Unload();
    if (m_message)
        m_message->hide();
    event->accept();
    // The program window goes with the panel; one with changes asks first.
    if (m_programWindow)
        m_programWindow->close();
}

void Form1::showInformation()
{
    auto *box = new QMessageBox(QMessageBox::Information, windowTitle(),
                                tr("%1 %2\n\nA control panel for the programmer board on a serial "
                                   "line.\n\nFree software under the MIT licence.")
                                    .arg(QCoreApplication::applicationName(),
                                         QCoreApplication::applicationVersion()),
                                QMessageBox::Ok, this);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setObjectName(QStringLiteral("information"));
    box->open();
}

void Form1::stopAllWork()
{
    m_dialogue.cancelAll();
}

void Form1::onPortSwitched(qint16 port, bool opened)
{
    // The port list names the open port; a later pick still waiting keeps its entry.
    if (opened && !m_dialogue.hasPortSwitchQueued())
        ui.LstPuerto->setCurrentIndex(port - 1);
}

void Form1::showStatus(const ReplyFields &status)
{
    ui.LBRX->setText(status.code);
    ui.LbMin->setText(status.minute);
    ui.LbBit->setText(status.bit);
    const std::optional<qint16> mode = status.valueOf(Field::Mode);
    ui.LbEjecutar->setText(mode ? modeName(*mode) : QString());
}

void Form1::onChannelError(SerialChannel::Failure failure, const QString &said)
{
    using Failure = SerialChannel::Failure;
    // No port is open now: the port list must not look connected, unless
    // the user has picked another port that waits its turn.
    if (failure != Failure::NotOpen && !serie.isOpen() && !m_dialogue.hasPortSwitchQueued())
        ui.LstPuerto->setCurrentIndex(-1);
    QString message = said;
    if (const QString advice = PortAdvice::forFailure(failure, serie.deviceName());
        !advice.isEmpty())
        message += QStringLiteral("\n\n") + advice;
    // A port that is missing or would not open: the ports there are may tell why.
    if (failure != Failure::NoSuchDevice && failure != Failure::Other) {
        report(message);
        return;
    }
    const QStringList found = serie.describePorts();
    if (found.isEmpty()) {
        report(tr("%1\n\nThis system shows no serial ports.\n\n%2").arg(message, otherDevice()));
    } else {
        report(tr("%1\n\nSerial ports on this system:\n%2\n\n%3")
                   .arg(message, found.join(QLatin1Char('\n')), otherDevice()));
    }
}

// How to put another device behind an entry. What is to be typed stands
// indented on a line of its own: a word-wrapped box never breaks it, and it
// copies whole.
QString Form1::otherDevice()
{
#ifdef Q_OS_WIN
    // Windows names ports COM1, COM2, COM3...; a shortcut's Target takes options too.
    return tr("To use another port, start the panel from a command prompt with one of:\n"
              "    programador --com1 COM3\n"
              "    programador --com2 COM3\n"
              "or add the option to the Target of a shortcut to programador.exe.");
#endif
    QString advice = tr("To use another device, start the panel with one of:\n"
                        "    programador --com1 DEVICE\n"
                        "    programador --com2 DEVICE");
#if defined(Q_OS_UNIX) && !defined(Q_OS_MACOS)
    // Started from the menu there is no command line: a menu entry of the
    // user's own gives it one.
    advice += u'\n'
        + tr("From the menu: make your own copy of its menu entry in\n"
             "    ~/.local/share/applications\n"
             "with the option on its Exec line (man programador shows how).");
#endif
    return advice;
}

void Form1::prepareMessageBox()
{
    if (m_message)
        return;
    // One box, reused and never modal: the panel stays usable and a run of
    // failures does not pile up windows.
    m_message = new QMessageBox(QMessageBox::Warning, windowTitle(), QString(),
                                QMessageBox::Ok, this);
    m_message->setModal(false);
    m_message->setTextFormat(Qt::PlainText);
    m_message->ensurePolished();
}

void Form1::report(const QString &message)
{
    prepareMessageBox();
    m_message->setText(message);
    m_message->show();
    m_message->raise();
    emit reported(message);
}
