#pragma once

#include <QHash>
#include <QRect>
#include <QString>

#include <vector>

class QAction;
class QComboBox;
class QFrame;
class QLabel;
class QMenu;
class QMenuBar;
class QPushButton;
class QWidget;

enum class ControlKind { Caption, DropDownList, Button, Box, Line };

// One control of Form1, positions in twips from the client area's top-left.
struct ControlSpec {
    const char *name;
    ControlKind kind;
    const char *text;                   // caption or button text; nullptr if none
    std::vector<const char *> entries;  // list entries in display order
    int left, top, width, height;
    int tabIndex;                       // -1 for the line, which has none
    const char *hint;                   // tooltip; nullptr if none
    // For screen readers. A caption names the control it sits beside (its
    // buddy); a control with no caption gets a name of its own, read while it
    // shows nothing, and a description, both in the user's language.
    const char *buddy = nullptr;
    const char *description = nullptr;
    const char *accessibleName = nullptr;
};

// Builds the controls of Form1 on a given widget: its menu bar on top and,
// under it, the client area that the controls are placed in. Behaviour
// lives elsewhere: this class only creates, places and labels the widgets, once.
class Form1Layout
{
public:
    static constexpr int TwipsPerPixel = 15;
    static constexpr int ClientWidthTwips = 3330;
    static constexpr int ClientHeightTwips = 3945;

    static const std::vector<ControlSpec> &controls();
    static QRect toPixels(int left, int top, int width, int height);

    explicit Form1Layout(QWidget *form);

    // Any control of the table by its name (captions included); nullptr if unknown.
    QWidget *control(const QString &name) const;
    // Screen readers say what the status boxes show now, unasked.
    void tellStatus() const;

    QComboBox *LstPuerto = nullptr;
    QComboBox *LstMin = nullptr;
    QComboBox *LstBit = nullptr;
    QComboBox *LstSec = nullptr;

    QPushButton *PbConectar = nullptr;
    QPushButton *PbBorraMinutos = nullptr;
    QPushButton *PbBorraBitMin = nullptr;
    QPushButton *PbProgramar = nullptr;
    QPushButton *PbStart = nullptr;
    QPushButton *PbSalir = nullptr;

    QLabel *LBRX = nullptr;
    QLabel *LbMin = nullptr;
    QLabel *LbBit = nullptr;
    QLabel *LbEjecutar = nullptr;

    QFrame *Line1 = nullptr;

    // The client area: the controls' parent, whose top-left their twips count from.
    QWidget *client = nullptr;

    QMenuBar *menuBar = nullptr;
    QMenu *mnprog = nullptr;
    QAction *mnplaca = nullptr;   // opens the board's program window
    QAction *mninfo = nullptr;
    QAction *mnexxx = nullptr;
    QAction *mnexit = nullptr;

private:
    QHash<QString, QWidget *> m_controls;
};
