#pragma once

#include <QModelIndex>
#include <QTableView>

// The grid of minutes by bits as people work it. Mouse: a click toggles a
// cell, a drag paints every cell it crosses with the first cell's new state,
// a header toggles its minute or bit. Keys: the arrows move, Space toggles,
// Shift+Space the whole minute, Ctrl+Space the whole bit, Delete leaves the
// cell as the board has it. What the gestures mean is the window's.
class ProgramGridView : public QTableView
{
    Q_OBJECT

public:
    explicit ProgramGridView(QWidget *parent = nullptr);

signals:
    // A press on a cell: the gesture starts, toggling it.
    void toggleAsked(const QModelIndex &cell);
    // The drag reached another cell: it takes the first one's new state.
    void paintAsked(const QModelIndex &cell);
    // The press (and any drag) is over.
    void gestureEnded();
    void minuteToggleAsked(int minute);
    void bitToggleAsked(int bit);
    void leaveAsked(const QModelIndex &cell);

protected:
    void mousePressEvent(QMouseEvent *event) override;
    // A quick second click is a second toggle, not an edit.
    void mouseDoubleClickEvent(QMouseEvent *event) override { mousePressEvent(event); }
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    QModelIndex m_last;   // the last cell painted during a drag
    bool m_painting = false;
};
