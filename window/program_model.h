#pragma once

#include "board_program.h"

#include <QAbstractTableModel>

#include <bitset>

// The board's program as a table for the program window: a row per minute,
// a column per bit. Each cell reads as its state (and, once a checked reply
// has confirmed it on the board, as confirmed), to the eye and to screen
// readers alike.
class ProgramModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    using Cell = BoardProgram::Cell;

    explicit ProgramModel(QObject *parent = nullptr);

    const BoardProgram &program() const { return m_program; }
    // Cells that change lose their confirmation.
    void setProgram(const BoardProgram &program);
    void setConfirmed(int minute, int bit, bool confirmed);
    bool isConfirmed(int minute, int bit) const { return m_confirmed[slot(minute, bit)]; }
    void clearConfirmed();

    static int minuteOf(const QModelIndex &index) { return index.row() + 1; }
    static int bitOf(const QModelIndex &index) { return index.column(); }
    QModelIndex indexOf(int minute, int bit) const { return index(minute - 1, bit); }
    // How a cell reads aloud: "Minute 3, bit 5: on".
    QString spoken(int minute, int bit) const;

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

private:
    static int slot(int minute, int bit) { return (minute - 1) * BoardProgram::Bits + bit; }

    BoardProgram m_program = BoardProgram::allOff();
    std::bitset<BoardProgram::Minutes * BoardProgram::Bits> m_confirmed;
};
