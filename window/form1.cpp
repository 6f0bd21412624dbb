#include "form1.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QShowEvent>
#include <QTimer>

using namespace BoardProtocol;

static constexpr int MessageBoxWarmUpMs = 500;

Form1::Form1(const PortMap &ports, QWidget *parent)
    : QWidget(parent), ui(this), serie(ports), m_dialogue(&serie)
{
    connect(ui.LstPuerto, &QComboBox::activated, this,
            [this](int index) { userAction(&Form1::LstPuerto_Click, ui.LstPuerto, index); });
    connect(ui.LstMin, &QComboBox::activated, this,
            [this](int index) { userAction(&Form1::LstMin_Click, ui.LstMin, index); });
    connect(ui.LstBit, &QComboBox::activated, this,
            [this](int index) { userAction(&Form1::LstBit_Click, ui.LstBit, index); });
    connect(ui.LstSec, &QComboBox::activated, this,
            [this](int index) { userAction(&Form1::LstSec_Click, ui.LstSec, index); });
    connect(ui.PbConectar, &QPushButton::clicked, this,
            [this] { userAction(&Form1::PbConectar_Click); });
    connect(ui.PbBorraMinutos, &QPushButton::clicked, this,
            [this] { userAction(&Form1::PbBorraMinutos_Click); });
    connect(ui.PbBorraBitMin, &QPushButton::clicked, this,
            [this] { userAction(&Form1::PbBorraBitMin_Click); });
    connect(ui.PbProgramar, &QPushButton::clicked, this,
            [this] { userAction(&Form1::PbProgramar_Click); });
    connect(ui.PbStart, &QPushButton::clicked, this,
            [this] { userAction(&Form1::PbStart_Click); });
    // Salir never waits its turn.
    connect(ui.PbSalir, &QPushButton::clicked, this, &Form1::PbSalir_Click);

    connect(&m_dialogue, &DeviceDialogue::statusChanged, this, &Form1::showStatus);
    connect(&m_dialogue, &DeviceDialogue::refused, this,
            [this](const QByteArray &, const QString &message) { report(message); });
    // Queued: the next action starts from the event loop, not from inside the
    // exchange that just ended.
    connect(&m_dialogue, &DeviceDialogue::idle, this, &Form1::runPending, Qt::QueuedConnection);
    connect(&serie, &SerialChannel::errorOccurred, this, &Form1::onChannelError);

    Form_Load();
}

Form1::~Form1()
{
    stopAllWork();
}

bool Form1::isWorking() const
{
    return m_inHandler || m_dialogue.isBusy() || !m_pending.isEmpty();
}

void Form1::userAction(Handler handler, QComboBox *list, int index)
{
    m_pending.enqueue(Action{handler, list, index});
    runPending();
}

void Form1::runPending()
{
    while (!m_inHandler && !m_dialogue.isBusy() && !m_pending.isEmpty()) {
        const Action action = m_pending.dequeue();
        // Show the pick it was made with: a port sequence in between may have
        // moved the list since.
        if (action.list)
            action.list->setCurrentIndex(action.index);
        m_inHandler = true;
        (this->*action.handler)();
        m_inHandler = false;
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
    if (serie.isOpen())
        serie.close();
    Puerto = qint16(ui.LstPuerto->currentIndex() + 1);
    serie.setPortNumber(Puerto);
    if (!serie.open())
        return;   // the channel has said why; nothing goes to a port that is not there
    pickByProgram(ui.LstMin, 0, &Form1::LstMin_Click);
    pickByProgram(ui.LstBit, 0, &Form1::LstBit_Click);
    pickByProgram(ui.LstSec, 1, &Form1::LstSec_Click);
    PbConectar_Click();
}

void Form1::LstMin_Click()
{
    Minuto = qint16(ui.LstMin->currentIndex() + 1);
    m_dialogue.EnviaOrden(minuteCommand(Minuto));
}

void Form1::LstBit_Click()
{
    Bit = qint16(ui.LstBit->currentIndex());
    m_dialogue.EnviaOrden(bitCommand(Bit));
}

void Form1::LstSec_Click()
{
    Modo = qint16(ui.LstSec->currentIndex());
    m_dialogue.EnviaOrden(modeCommand(Modo));
}

void Form1::PbConectar_Click()
{
    m_dialogue.EnviaOrden(connectCommand());
}

void Form1::PbBorraMinutos_Click()
{
    m_dialogue.EnviaOrden(eraseMinutesCommand());
}

void Form1::PbBorraBitMin_Click()
{
    m_dialogue.EnviaOrden(eraseBitMinuteCommand());
}

void Form1::PbProgramar_Click()
{
    m_dialogue.EnviaOrden(programCommand());
}

void Form1::PbStart_Click()
{
    m_dialogue.EnviaOrden(startCommand());
}

void Form1::PbSalir_Click()
{
    stopAllWork();
    serie.close();
    emit quitRequested(0);
}

void Form1::Form_Unload()
{
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

void Form1::closeEvent(QCloseEvent *event)
{
    Form_Unload();
    if (m_message)
        m_message->hide();
    event->accept();
}

void Form1::stopAllWork()
{
    m_pending.clear();
    m_dialogue.cancelAll();
}

void Form1::showStatus(const StatusFields &status)
{
    ui.LBRX->setText(status.LBRX);
    ui.LbMin->setText(status.LbMin);
    ui.LbBit->setText(status.LbBit);
    ui.LbEjecutar->setText(status.LbEjecutar);
}

void Form1::onChannelError(SerialChannel::Failure failure, const QString &message)
{
    using Failure = SerialChannel::Failure;
    if (failure == Failure::Lost) {
        // What was asked for the lost port goes with it; a port pick made
        // meanwhile, and what follows it, is for a port that may be there.
        while (!m_pending.isEmpty() && m_pending.head().handler != &Form1::LstPuerto_Click)
            m_pending.dequeue();
    }
    QString text = message;
    if (failure == Failure::NoSuchDevice) {
        const QStringList found = PortMap::systemPorts();
        text += QLatin1String("\n\n");
        text += found.isEmpty()
            ? tr("This system shows no serial ports.")
            : tr("Serial ports on this system:\n%1").arg(found.join(QLatin1Char('\n')));
        text += QLatin1String("\n\n");
        text += tr("To use another device, start the panel with --com1 DEVICE or --com2 DEVICE.");
    }
    report(text);
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
    m_lastMessage = message;
    prepareMessageBox();
    m_message->setText(message);
    m_message->show();
    m_message->raise();
    emit reported(message);
}
