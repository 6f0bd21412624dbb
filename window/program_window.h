#pragma once

#include "board_program.h"
#include "session_record.h"

#include <QMainWindow>

#include <memory>
#include <optional>

class DeviceDialogue;
class PanelHandWork;
class ProgramGridView;
class ProgramModel;
class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class QUndoStack;
class SerialChannel;
class SessionConsole;
class SessionRunner;

// The board's program beside the panel: a grid of minutes by bits, its mode
// and Start, kept in a session file and sent with Enviar through the
// panel's own exchange, each reply checked as a session checks it. While it
// is open, what the person does by hand in the panel and the board takes
// shows in the grid.
class ProgramWindow : public QMainWindow
{
    Q_OBJECT

public:
    ProgramWindow(PanelHandWork &panel, SerialChannel &channel, DeviceDialogue &dialogue,
                  QWidget *parent = nullptr);
    ~ProgramWindow() override;

    const BoardProgram &program() const;
    bool isModified() const;
    bool isSending() const { return bool(m_runner); }
    // What the file dialogs hand over; false, with the words shown, if not done.
    bool openFile(const QString &path);
    bool saveTo(const QString &path);
    // Enviar; Stop lets the exchange under way end first.
    void send();
    void stop();
    // The panel is going: a send under way ends now, with its exchange.
    void abandonSending();

signals:
    // A send ended: the session's outcome.
    void sendFinished(const Session::Summary &summary);
    // Words shown to the person: a refused file, a failed save.
    void reported(const QString &message);

protected:
    void closeEvent(QCloseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void buildMenus();
    void edit(const BoardProgram &after, const QString &what);
    void toggle(const QList<std::pair<int, int>> &cells);
    void paint(int minute, int bit);
    void startSending(qint16 port);
    void askPortThenSend();
    void onRecord(const Session::Record &record);
    void onFinished(const Session::Summary &summary);
    void onHandExchange(const QByteArray &orden, const QByteArray &respuesta, bool timedOut);
    void save();
    void saveAs();
    void askBeforeClosing();
    void report(const QString &message);
    void updateTitle();
    void updateControls();
    QByteArray textToSend() const;

    PanelHandWork &m_panel;
    SerialChannel &m_channel;
    DeviceDialogue &m_dialogue;
    ProgramModel *m_model = nullptr;
    ProgramGridView *m_grid = nullptr;
    QUndoStack *m_undo = nullptr;
    QComboBox *m_mode = nullptr;
    QCheckBox *m_start = nullptr;
    QPushButton *m_send = nullptr;
    QPushButton *m_stop = nullptr;
    QLabel *m_progress = nullptr;
    QLabel *m_result = nullptr;

    QString m_fileName;
    QByteArray m_fileText;   // as opened or last saved
    bool m_hasPort = false;  // the program names its port (a file); else the panel's
    std::optional<BoardProgram::Cell> m_painting;   // a drag's state
    BoardProgram m_beforeGesture;
    std::unique_ptr<SessionRunner> m_runner;
    std::unique_ptr<SessionConsole> m_console;
    std::unique_ptr<BoardState> m_board;   // the board as confirmed replies leave it
    bool m_closeWhenStopped = false;
    bool m_discard = false;
};
