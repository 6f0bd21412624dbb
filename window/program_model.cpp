#include "program_model.h"

#include <QBrush>
#include <QGuiApplication>
#include <QPalette>

ProgramModel::ProgramModel(QObject *parent) : QAbstractTableModel(parent) {}

void ProgramModel::setProgram(const BoardProgram &program)
{
    for (int minute = 1; minute <= BoardProgram::Minutes; ++minute) {
        for (int bit = 0; bit < BoardProgram::Bits; ++bit) {
            if (program.cell(minute, bit) != m_program.cell(minute, bit))
                m_confirmed[slot(minute, bit)] = false;
        }
    }
    m_program = program;
    emit dataChanged(index(0, 0), index(BoardProgram::Minutes - 1, BoardProgram::Bits - 1));
}

void ProgramModel::setConfirmed(int minute, int bit, bool confirmed)
{
    if (m_confirmed[slot(minute, bit)] == confirmed)
        return;
    m_confirmed[slot(minute, bit)] = confirmed;
    const QModelIndex at = indexOf(minute, bit);
    emit dataChanged(at, at);
}

void ProgramModel::clearConfirmed()
{
    m_confirmed.reset();
    emit dataChanged(index(0, 0), index(BoardProgram::Minutes - 1, BoardProgram::Bits - 1));
}

QString ProgramModel::spoken(int minute, int bit) const
{
    QString state;
    switch (m_program.cell(minute, bit)) {
    case Cell::On: state = tr("on"); break;
    case Cell::Off: state = tr("off"); break;
    case Cell::Untouched: state = tr("left as the board has it"); break;
    }
    if (m_confirmed[slot(minute, bit)])
        state = tr("%1, confirmed").arg(state);
    return tr("Minute %1, bit %2: %3").arg(minute).arg(bit).arg(state);
}

int ProgramModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : BoardProgram::Minutes;
}

int ProgramModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : BoardProgram::Bits;
}

QVariant ProgramModel::data(const QModelIndex &at, int role) const
{
    if (!at.isValid())
        return {};
    const int minute = minuteOf(at), bit = bitOf(at);
    const Cell cell = m_program.cell(minute, bit);
    const bool confirmed = m_confirmed[slot(minute, bit)];
    switch (role) {
    case Qt::DisplayRole: {
        // Told apart by their marks too, not by colour alone.
        const QString mark = cell == Cell::On ? QStringLiteral("1")
            : cell == Cell::Off               ? QStringLiteral("0")
                                              : QStringLiteral("?");
        return confirmed ? mark + QStringLiteral(" \u2713") : mark;
    }
    case Qt::AccessibleTextRole:
    case Qt::ToolTipRole:
        return spoken(minute, bit);
    case Qt::TextAlignmentRole:
        return int(Qt::AlignCenter);
    case Qt::BackgroundRole: {
        const QPalette palette = QGuiApplication::palette();
        if (cell == Cell::On)
            return QBrush(palette.color(QPalette::Highlight));
        // Left as the board has it: hatched, so nobody takes it for off.
        if (cell == Cell::Untouched)
            return QBrush(palette.color(QPalette::Mid), Qt::BDiagPattern);
        return QBrush(palette.color(QPalette::Base));
    }
    case Qt::ForegroundRole:
        if (cell == Cell::On)
            return QBrush(QGuiApplication::palette().color(QPalette::HighlightedText));
        return {};
    default:
        return {};
    }
}

QVariant ProgramModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role == Qt::DisplayRole)
        return orientation == Qt::Vertical ? QStringLiteral("Min %1").arg(section + 1)
                                           : QStringLiteral("Bit %1").arg(section);
    if (role == Qt::AccessibleTextRole || role == Qt::ToolTipRole)
        return orientation == Qt::Vertical ? tr("Minute %1").arg(section + 1) : tr("Bit %1").arg(section);
    return {};
}

Qt::ItemFlags ProgramModel::flags(const QModelIndex &at) const
{
    return at.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
}
