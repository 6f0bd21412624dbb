#include "program_grid_view.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>

ProgramGridView::ProgramGridView(QWidget *parent) : QTableView(parent)
{
    // The focus frame marks the current cell; a selection would look like "on".
    setSelectionMode(QAbstractItemView::NoSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setTabKeyNavigation(false);
    horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    verticalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    horizontalHeader()->setSectionsClickable(true);
    verticalHeader()->setSectionsClickable(true);
    horizontalHeader()->setHighlightSections(false);
    verticalHeader()->setHighlightSections(false);
    connect(verticalHeader(), &QHeaderView::sectionClicked, this,
            [this](int row) { emit minuteToggleAsked(row + 1); });
    connect(horizontalHeader(), &QHeaderView::sectionClicked, this,
            [this](int column) { emit bitToggleAsked(column); });
}

void ProgramGridView::mousePressEvent(QMouseEvent *event)
{
    const QModelIndex cell = indexAt(event->position().toPoint());
    if (event->button() != Qt::LeftButton || !cell.isValid())
        return QTableView::mousePressEvent(event);
    setCurrentIndex(cell);
    m_painting = true;
    m_last = cell;
    emit toggleAsked(cell);
}

void ProgramGridView::mouseMoveEvent(QMouseEvent *event)
{
    if (!m_painting)
        return QTableView::mouseMoveEvent(event);
    const QModelIndex cell = indexAt(event->position().toPoint());
    // Each cell once, however long the pointer stays on it.
    if (!cell.isValid() || cell == m_last)
        return;
    m_last = cell;
    setCurrentIndex(cell);
    emit paintAsked(cell);
}

void ProgramGridView::mouseReleaseEvent(QMouseEvent *event)
{
    if (!m_painting)
        return QTableView::mouseReleaseEvent(event);
    m_painting = false;
    m_last = {};
    emit gestureEnded();
}

void ProgramGridView::keyPressEvent(QKeyEvent *event)
{
    const QModelIndex cell = currentIndex();
    if (!cell.isValid())
        return QTableView::keyPressEvent(event);
    const Qt::KeyboardModifiers mods = event->modifiers() & ~Qt::KeypadModifier;
    if (event->key() == Qt::Key_Space) {
        if (event->isAutoRepeat())
            return;
        if (mods == Qt::ShiftModifier)
            emit minuteToggleAsked(cell.row() + 1);
        else if (mods == Qt::ControlModifier)
            emit bitToggleAsked(cell.column());
        else if (mods == Qt::NoModifier) {
            emit toggleAsked(cell);
            emit gestureEnded();
        }
        return;
    }
    if ((event->key() == Qt::Key_Delete || event->key() == Qt::Key_Backspace) && mods == Qt::NoModifier) {
        emit leaveAsked(cell);
        return;
    }
    QTableView::keyPressEvent(event);
}
