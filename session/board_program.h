#pragma once

#include "session_file.h"

#include <QByteArray>
#include <QList>

#include <array>

// A board's program as a person sees it: for each minute (1-10) and bit
// (0-7) whether the cell is on, off or left as the board has it; the mode;
// whether Start ends it; the port it goes to. Its file form is a session
// file: written here, read back through the session file's steps.
class BoardProgram
{
public:
    static constexpr int Minutes = 10;
    static constexpr int Bits = 8;
    enum class Cell : quint8 { Untouched, Off, On };

    // All cells off: sent, the board holds exactly it.
    static BoardProgram allOff();

    Cell cell(int minute, int bit) const { return m_cells[index(minute, bit)]; }
    void setCell(int minute, int bit, Cell cell) { m_cells[index(minute, bit)] = cell; }

    // 0 once, 1 sequence; a port pick leaves the board in sequence.
    qint16 mode = 1;
    bool start = false;
    qint16 port = 1;

    // What the steps leave on a board: cells a step programs on or erases
    // off, the rest untouched; the mode, Start last, the last port picked.
    static BoardProgram fromSteps(const QList<SessionFile::Step> &steps);

    // The session file that leaves a board holding this program, in the
    // fewest exchanges this panel knows: a minute all of whose cells are
    // set may be erased whole and its on cells programmed; otherwise each
    // set cell is programmed or erased by itself; a bit or minute the board
    // is already on is not sent again.
    QByteArray toSessionFile() const;

    bool operator==(const BoardProgram &) const = default;

private:
    static int index(int minute, int bit) { return (minute - 1) * Bits + bit; }

    std::array<Cell, Minutes * Bits> m_cells{};
};

// The board as the steps leave it, one step at a time: which minute and bit
// it is on and what each cell holds. For following a session as it runs.
class BoardState
{
public:
    // The cells the step set, if any (Programar, Minutos, Bit/Min).
    QList<std::pair<int, int>> apply(const SessionFile::Step &step);
    const BoardProgram &program() const { return m_program; }
    qint16 minute() const { return m_minute; }
    qint16 bit() const { return m_bit; }

private:
    BoardProgram m_program;
    qint16 m_minute = 1;
    qint16 m_bit = 0;
};
