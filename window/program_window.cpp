#include "program_window.h"

#include "board_protocol.h"
#include "device_dialogue.h"
#include "panel_hand_work.h"
#include "program_grid_view.h"
#include "program_model.h"
#include "reply_check.h"
#include "serial_channel.h"
#include "session_console.h"
#include "session_file.h"
#include "session_runner.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QSaveFile>
#include <QUndoStack>
#include <QVBoxLayout>

using Cell = BoardProgram::Cell;

namespace {

// One change to the program, undone and redone whole.
class ProgramEdit : public QUndoCommand
{
public:
    ProgramEdit(ProgramModel *model, BoardProgram before, BoardProgram after, const QString &what)
        : QUndoCommand(what), m_model(model), m_before(std::move(before)), m_after(std::move(after))
    {
    }
    void undo() override { m_model->setProgram(m_before); }
    void redo() override { m_model->setProgram(m_after); }

private:
    ProgramModel *m_model;
    BoardProgram m_before, m_after;
};

Cell toggled(Cell cell) { return cell == Cell::On ? Cell::Off : Cell::On; }

const char FileFilter[] = QT_TRANSLATE_NOOP("ProgramWindow", "Board programs (*.txt);;All files (*)");

} // namespace

ProgramWindow::ProgramWindow(PanelHandWork &panel, SerialChannel &channel, DeviceDialogue &dialogue,
                             QWidget *parent)
    : QMainWindow(parent), m_panel(panel), m_channel(channel), m_dialogue(dialogue)
{
    setObjectName(QStringLiteral("ProgramWindow"));
    m_model = new ProgramModel(this);
    m_undo = new QUndoStack(this);

    auto *central = new QWidget(this);
    auto *layout = new QVBoxLayout(central);
    m_grid = new ProgramGridView(central);
    m_grid->setObjectName(QStringLiteral("grid"));
    m_grid->setModel(m_model);
    m_grid->setAccessibleName(tr("Board program"));
    m_grid->setAccessibleDescription(
        tr("A row per minute, a column per bit. Space toggles a cell, Shift+Space its minute, "
           "Ctrl+Space its bit, Delete leaves it as the board has it."));
    m_grid->setCurrentIndex(m_model->indexOf(1, 0));
    layout->addWidget(m_grid, 1);

    auto *settings = new QHBoxLayout;
    auto *modeLabel = new QLabel(QStringLiteral("Ejecutar"), central);
    m_mode = new QComboBox(central);
    m_mode->setObjectName(QStringLiteral("mode"));
    m_mode->addItems({QStringLiteral("Una"), QStringLiteral("Sec.")});
    modeLabel->setBuddy(m_mode);
    m_start = new QCheckBox(tr("&Start at the end"), central);
    m_start->setObjectName(QStringLiteral("start"));
    settings->addWidget(modeLabel);
    settings->addWidget(m_mode);
    settings->addSpacing(12);
    settings->addWidget(m_start);
    settings->addStretch(1);
    layout->addLayout(settings);

    auto *buttons = new QHBoxLayout;
    m_send = new QPushButton(QStringLiteral("Enviar"), central);
    m_send->setObjectName(QStringLiteral("send"));
    // From anywhere in the window, the grid included.
    m_send->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Return));
    m_send->setToolTip(tr("Send the program to the board (Ctrl+Enter)"));
    m_stop = new QPushButton(tr("S&top"), central);
    m_stop->setObjectName(QStringLiteral("stop"));
    m_progress = new QLabel(central);
    m_progress->setObjectName(QStringLiteral("progress"));
    buttons->addWidget(m_send);
    buttons->addWidget(m_stop);
    buttons->addWidget(m_progress, 1);
    layout->addLayout(buttons);
    m_result = new QLabel(central);
    m_result->setObjectName(QStringLiteral("result"));
    m_result->setWordWrap(true);
    m_result->setTextFormat(Qt::PlainText);
    m_result->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(m_result);
    setCentralWidget(central);
    buildMenus();

    connect(m_grid, &ProgramGridView::toggleAsked, this, [this](const QModelIndex &at) {
        const int minute = ProgramModel::minuteOf(at), bit = ProgramModel::bitOf(at);
        m_beforeGesture = program();
        m_painting = toggled(program().cell(minute, bit));
        paint(minute, bit);
    });
    connect(m_grid, &ProgramGridView::paintAsked, this, [this](const QModelIndex &at) {
        if (m_painting)
            paint(ProgramModel::minuteOf(at), ProgramModel::bitOf(at));
    });
    connect(m_grid, &ProgramGridView::gestureEnded, this, [this] {
        if (!m_painting)
            return;
        m_painting.reset();
        const BoardProgram after = program();
        m_model->setProgram(m_beforeGesture);
        edit(after, tr("Paint"));
    });
    connect(m_grid, &ProgramGridView::minuteToggleAsked, this, [this](int minute) {
        QList<std::pair<int, int>> cells;
        for (int bit = 0; bit < BoardProgram::Bits; ++bit)
            cells.append({minute, bit});
        toggle(cells);
    });
    connect(m_grid, &ProgramGridView::bitToggleAsked, this, [this](int bit) {
        QList<std::pair<int, int>> cells;
        for (int minute = 1; minute <= BoardProgram::Minutes; ++minute)
            cells.append({minute, bit});
        toggle(cells);
    });
    connect(m_grid, &ProgramGridView::leaveAsked, this, [this](const QModelIndex &at) {
        BoardProgram after = program();
        after.setCell(ProgramModel::minuteOf(at), ProgramModel::bitOf(at), Cell::Untouched);
        edit(after, tr("Leave as the board has it"));
    });
    connect(m_mode, &QComboBox::activated, this, [this](int index) {
        BoardProgram after = program();
        after.mode = qint16(index);
        edit(after, tr("Mode"));
    });
    connect(m_start, &QCheckBox::clicked, this, [this](bool checked) {
        BoardProgram after = program();
        after.start = checked;
        edit(after, tr("Start at the end"));
    });
    connect(m_model, &QAbstractItemModel::dataChanged, this, [this] {
        m_mode->setCurrentIndex(program().mode);
        m_start->setChecked(program().start);
    });
    connect(m_undo, &QUndoStack::cleanChanged, this, [this] { updateTitle(); });
    connect(m_send, &QPushButton::clicked, this, &ProgramWindow::send);
    connect(m_stop, &QPushButton::clicked, this, &ProgramWindow::stop);
    connect(&m_dialogue, &DeviceDialogue::exchangeFinished, this, &ProgramWindow::onHandExchange);
    // A new program goes to the panel's port: the title follows the panel's pick.
    connect(&m_dialogue, &DeviceDialogue::portSwitched, this, [this] { updateTitle(); });

    m_mode->setCurrentIndex(program().mode);
    updateTitle();
    updateControls();
    resize(sizeHint().expandedTo(QSize(420, 380)));
}

ProgramWindow::~ProgramWindow()
{
    // The undo stack, going with the widgets, says it is clean: not to us.
    m_undo->disconnect(this);
    // The panel takes its own work back.
    if (m_runner)
        m_panel.releaseHandWork();
}

const BoardProgram &ProgramWindow::program() const
{
    return m_model->program();
}

bool ProgramWindow::isModified() const
{
    return !m_undo->isClean();
}

void ProgramWindow::buildMenus()
{
    QMenu *file = menuBar()->addMenu(tr("&File"));
    file->addAction(tr("&New"), QKeySequence::New, this, [this] {
        if (isSending())
            return;
        edit(BoardProgram::allOff(), tr("New program"));
    });
    file->addAction(tr("&Open..."), QKeySequence::Open, this, [this] {
        auto *dialog = new QFileDialog(this, tr("Open a board program"), QFileInfo(m_fileName).path(),
                                       tr(FileFilter));
        dialog->setAttribute(Qt::WA_DeleteOnClose);
        dialog->setAcceptMode(QFileDialog::AcceptOpen);
        dialog->setFileMode(QFileDialog::ExistingFile);
        connect(dialog, &QFileDialog::fileSelected, this, &ProgramWindow::openFile);
        dialog->open();
    });
    file->addAction(tr("&Save"), QKeySequence::Save, this, &ProgramWindow::save);
    file->addAction(tr("Save &As..."), QKeySequence::SaveAs, this, &ProgramWindow::saveAs);
    file->addSeparator();
    file->addAction(tr("&Close"), QKeySequence::Close, this, &QWidget::close);
    QMenu *editMenu = menuBar()->addMenu(tr("&Edit"));
    QAction *undo = m_undo->createUndoAction(this, tr("&Undo"));
    undo->setShortcut(QKeySequence::Undo);
    QAction *redo = m_undo->createRedoAction(this, tr("&Redo"));
    redo->setShortcut(QKeySequence::Redo);
    editMenu->addAction(undo);
    editMenu->addAction(redo);
}

void ProgramWindow::edit(const BoardProgram &after, const QString &what)
{
    if (isSending() || after == program())
        return;
    m_undo->push(new ProgramEdit(m_model, program(), after, what));
}

void ProgramWindow::toggle(const QList<std::pair<int, int>> &cells)
{
    // A minute or bit all on goes off; anything else goes on.
    const bool allOn = std::all_of(cells.cbegin(), cells.cend(), [this](const auto &c) {
        return program().cell(c.first, c.second) == Cell::On;
    });
    BoardProgram after = program();
    for (const auto &[minute, bit] : cells)
        after.setCell(minute, bit, allOn ? Cell::Off : Cell::On);
    edit(after, tr("Toggle"));
}

void ProgramWindow::paint(int minute, int bit)
{
    if (isSending())
        return;
    BoardProgram now = program();
    now.setCell(minute, bit, *m_painting);
    m_model->setProgram(now);   // one undo step for the whole gesture, at its end
}

QByteArray ProgramWindow::textToSend() const
{
    // A file opened and not changed goes as it is; else what Save would write.
    if (!m_fileText.isEmpty() && !isModified())
        return m_fileText;
    return program().toSessionFile();
}

void ProgramWindow::send()
{
    if (isSending())
        return;
    m_result->clear();
    if (m_hasPort || (!m_fileText.isEmpty() && !isModified()))
        return startSending(program().port);
    if (const qint16 port = m_panel.portPicked())
        return startSending(port);
    askPortThenSend();
}

void ProgramWindow::askPortThenSend()
{
    auto *ask = new QMessageBox(QMessageBox::Question, windowTitle(),
                                tr("Which port is the board on?"), QMessageBox::Cancel, this);
    ask->setAttribute(Qt::WA_DeleteOnClose);
    QPushButton *com1 = ask->addButton(QStringLiteral("Com1"), QMessageBox::AcceptRole);
    QPushButton *com2 = ask->addButton(QStringLiteral("Com2"), QMessageBox::AcceptRole);
    connect(ask, &QMessageBox::buttonClicked, this, [this, com1, com2](QAbstractButton *button) {
        if (button == com1 || button == com2) {
            BoardProgram withPort = program();
            withPort.port = button == com1 ? 1 : 2;
            edit(withPort, tr("Port"));
            m_hasPort = true;
            startSending(withPort.port);
        }
    });
    ask->open();
}

void ProgramWindow::startSending(qint16 port)
{
    BoardProgram toSend = program();
    if (toSend.port != port) {
        toSend.port = port;
        m_model->setProgram(toSend);
    }
    SessionFile::Mistake mistake;
    const auto steps = SessionFile::parse(textToSend(), &mistake);
    if (!steps) {
        report(tr("The program cannot be sent: line %1, column %2: %3")
                   .arg(mistake.line).arg(mistake.column).arg(mistake.what));
        return;
    }
    m_model->clearConfirmed();
    m_board = std::make_unique<BoardState>();
    // Nothing the person does in the panel goes between the program's steps.
    m_panel.holdHandWork();
    m_runner = std::make_unique<SessionRunner>(m_channel, m_dialogue, *steps, 0);
    m_console = std::make_unique<SessionConsole>(
        m_runner->plan(), [](const QString &) {},
        [this](const QString &line) { m_result->setText(line); },
        [this](const QString &line) {
            if (!line.isEmpty())
                m_progress->setText(line);
        });
    connect(m_runner.get(), &SessionRunner::exchanged, this, &ProgramWindow::onRecord);
    connect(m_runner.get(), &SessionRunner::finished, this, &ProgramWindow::onFinished);
    updateControls();
    // Work the person asked for before Enviar ends first.
    const auto go = [this] {
        if (!m_runner)
            return;
        m_console->started();
        m_runner->start();
    };
    if (m_dialogue.isBusy())
        connect(&m_dialogue, &DeviceDialogue::idle, m_runner.get(), go, Qt::SingleShotConnection);
    else
        go();
}

void ProgramWindow::onRecord(const Session::Record &record)
{
    m_console->exchanged(record);
    if (record.result.verdict != ReplyCheck::Verdict::Ok)
        return;
    // A cell is confirmed once a checked reply leaves it as the program has it.
    for (const auto &[minute, bit] : m_board->apply(record.step))
        m_model->setConfirmed(minute, bit,
                              m_board->program().cell(minute, bit) == program().cell(minute, bit));
}

void ProgramWindow::onFinished(const Session::Summary &summary)
{
    m_console->finished(summary);
    if (summary.outcome == Session::Outcome::Done)
        m_result->setText(tr("Sent: the board holds the program."));
    m_progress->clear();
    // Deleted once its signal has returned.
    m_runner.release()->deleteLater();
    m_console.reset();
    // Sent whole, the port stays open: the panel shows where the board is.
    if (summary.outcome == Session::Outcome::Done)
        m_panel.showPicked(m_board->minute(), m_board->bit(), m_board->program().mode);
    m_panel.releaseHandWork();
    updateControls();
    emit sendFinished(summary);
    if (m_closeWhenStopped)
        close();
}

void ProgramWindow::stop()
{
    if (m_runner)
        m_runner->stop(Session::Outcome::Interrupted,
                       QCoreApplication::translate("session", "told to stop"));
}

void ProgramWindow::abandonSending()
{
    if (m_runner)
        m_runner->abort(Session::Outcome::Interrupted, tr("the panel was closed"));
}

// What the person does by hand in the panel, as the board took it.
void ProgramWindow::onHandExchange(const QByteArray &orden, const QByteArray &respuesta, bool timedOut)
{
    using namespace BoardProtocol;
    if (m_runner || timedOut)
        return;
    const ReplyFields fields = decodeReply(respuesta);
    const auto minute = fields.valueOf(Field::Minute);
    const auto bit = fields.valueOf(Field::Bit);
    const bool cellKnown = minute && bit && *minute >= 1 && *minute <= BoardProgram::Minutes
        && *bit >= 0 && *bit < BoardProgram::Bits;
    BoardProgram after = program();
    if (orden == programCommand() && cellKnown) {
        after.setCell(*minute, *bit, Cell::On);
    } else if (orden == eraseBitMinuteCommand() && cellKnown) {
        after.setCell(*minute, *bit, Cell::Off);
    } else if (orden == eraseMinutesCommand() && minute && *minute >= 1 && *minute <= BoardProgram::Minutes) {
        for (int b = 0; b < BoardProgram::Bits; ++b)
            after.setCell(*minute, b, Cell::Off);
    } else {
        for (const qint16 mode : {0, 1}) {
            SessionFile::Step step;
            step.command = modeCommand(mode);
            step.field = Field::Mode;
            step.value = mode;
            if (orden == step.command && ReplyCheck::judge(step, respuesta, false).verdict == ReplyCheck::Verdict::Ok)
                after.mode = mode;
        }
    }
    edit(after, tr("By hand in the panel"));
}

bool ProgramWindow::openFile(const QString &path)
{
    if (isSending())
        return false;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        report(tr("Cannot open %1: %2").arg(path, file.errorString()));
        return false;
    }
    const QByteArray text = file.read(SessionFile::MaxFileSize + 1);
    SessionFile::Mistakes mistakes;
    const auto steps = SessionFile::parse(text, &mistakes);
    if (!steps) {
        // In the words --run uses.
        report(SessionFile::describe(path, mistakes));
        return false;
    }
    m_model->setProgram(BoardProgram::fromSteps(*steps));
    m_model->clearConfirmed();
    m_undo->clear();
    m_fileName = path;
    m_fileText = text;
    m_hasPort = true;
    m_result->clear();
    updateTitle();
    return true;
}

bool ProgramWindow::saveTo(const QString &path)
{
    BoardProgram toSave = program();
    if (!m_hasPort) {
        toSave.port = m_panel.portPicked() ? m_panel.portPicked() : 1;
        m_model->setProgram(toSave);
    }
    const QByteArray text = toSave.toSessionFile();
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size() || !file.commit()) {
        report(tr("The program was not saved to %1: %2. It is still here, unsaved.")
                   .arg(path, file.errorString()));
        return false;
    }
    m_fileName = path;
    m_fileText = text;
    m_hasPort = true;
    m_undo->setClean();
    updateTitle();
    return true;
}

void ProgramWindow::save()
{
    if (m_fileName.isEmpty())
        return saveAs();
    if (isModified() || m_fileText.isEmpty())
        saveTo(m_fileName);
}

void ProgramWindow::saveAs()
{
    auto *dialog = new QFileDialog(this, tr("Save the board program"), m_fileName, tr(FileFilter));
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setAcceptMode(QFileDialog::AcceptSave);
    dialog->setDefaultSuffix(QStringLiteral("txt"));
    connect(dialog, &QFileDialog::fileSelected, this, [this](const QString &path) {
        if (saveTo(path) && m_closeWhenStopped)
            close();
    });
    dialog->open();
}

void ProgramWindow::closeEvent(QCloseEvent *event)
{
    if (m_runner) {
        // The exchange under way ends, then the window goes.
        m_closeWhenStopped = true;
        stop();
        event->ignore();
        hide();
        return;
    }
    if (isModified() && !m_discard) {
        event->ignore();
        askBeforeClosing();
        return;
    }
    m_closeWhenStopped = false;
    event->accept();
}

void ProgramWindow::askBeforeClosing()
{
    show();
    auto *ask = new QMessageBox(QMessageBox::Question, windowTitle(),
                                tr("The program has changes that are not saved."),
                                QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, this);
    ask->setAttribute(Qt::WA_DeleteOnClose);
    ask->setObjectName(QStringLiteral("unsaved"));
    connect(ask, &QMessageBox::finished, this, [this](int answer) {
        if (answer == QMessageBox::Save) {
            m_closeWhenStopped = true;
            if (m_fileName.isEmpty())
                return saveAs();
            if (saveTo(m_fileName))
                close();
        } else if (answer == QMessageBox::Discard) {
            m_discard = true;
            close();
            m_discard = false;
        }
    });
    ask->open();
}

void ProgramWindow::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape && m_runner) {
        stop();
        return;
    }
    QMainWindow::keyPressEvent(event);
}

void ProgramWindow::report(const QString &message)
{
    m_result->setText(message);
    auto *box = new QMessageBox(QMessageBox::Warning, windowTitle(), message, QMessageBox::Ok, this);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setTextFormat(Qt::PlainText);
    box->open();
    emit reported(message);
}

void ProgramWindow::updateTitle()
{
    const QString name = m_fileName.isEmpty() ? tr("New program") : QFileInfo(m_fileName).fileName();
    const qint16 port = m_hasPort ? program().port : m_panel.portPicked();
    const QString where = port ? QStringLiteral("Com%1").arg(port) : tr("no port picked");
    setWindowTitle(QStringLiteral("%1[*] \u2014 %2 \u2014 %3").arg(name, where, tr("Board program")));
    setWindowModified(isModified());
}

void ProgramWindow::updateControls()
{
    const bool sending = isSending();
    m_send->setEnabled(!sending);
    m_stop->setEnabled(sending);
    m_mode->setEnabled(!sending);
    m_start->setEnabled(!sending);
    menuBar()->setEnabled(!sending);
}
