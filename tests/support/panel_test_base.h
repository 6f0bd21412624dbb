#pragma once

#include <QObject>
#include <QStringList>

class BoardEmulator;
class Form1;
class Form1Layout;
class PortMap;
class QtSerialChannel;
class QComboBox;
class QPushButton;

// The window on two emulated boards (Com1, Com2), with the user's gestures.
// Test classes derive from it and call startPanel()/stopPanel() in init()/cleanup().
class PanelTestBase : public QObject
{
    Q_OBJECT

public:
    // What a port pick sends once the port is open, all of it.
    static QByteArray portPickBytes();

protected:
    static constexpr int DefaultWaitMs = 10000;

    [[nodiscard]] bool startPanel();
    void stopPanel();
    // A new window on other devices; the boards stay.
    [[nodiscard]] bool rebuildForm(const PortMap &ports);

    // As a person picks: open the list, move to the entry, press Enter. The
    // pick is delivered even for the entry already picked. (A click right
    // after the popup opens is ignored by Qt as a stray release.)
    [[nodiscard]] static bool userPick(QComboBox *list, int index);
    static void click(QPushButton *button);
    // Work under way or waiting its turn, as the user sees it: the busy cursor.
    bool busyShown() const;
    [[nodiscard]] bool waitIdle(int ms = DefaultWaitMs);
    QStringList boxes() const;
    QStringList lists() const;

    BoardEmulator *board1 = nullptr;
    BoardEmulator *board2 = nullptr;
    QtSerialChannel *channel = nullptr;   // the window's, made as main() makes it
    Form1 *form = nullptr;
    const Form1Layout *ui = nullptr;
};
