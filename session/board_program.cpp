#include "board_program.h"

#include "board_protocol.h"

#include <limits>

namespace {

using Cell = BoardProgram::Cell;

// One minute's work, planned: erase it whole first or not, then the bits
// to visit in order, each with what it leaves in its cell.
struct MinutePlan
{
    int minute = 0;
    bool erase = false;
    QList<std::pair<int, Cell>> cells;
};

// The bits of `wanted` in visiting order from `from`, ending on `end`:
// the one the board is on first (no Bit command for it), then the rest.
QList<int> visitOrder(const QList<int> &wanted, int from, int end)
{
    QList<int> order;
    if (wanted.contains(from))
        order << from;
    for (int bit : wanted) {
        if (bit != from && bit != end)
            order << bit;
    }
    if (end != from && wanted.contains(end))
        order << end;
    return order;
}

// Bit commands and actions to work `wanted` from `from`: every bit visited
// costs its Bit command but the one the board is on.
int cost(const QList<int> &wanted, int from)
{
    return int(2 * wanted.size()) - (wanted.contains(from) ? 1 : 0);
}

// Where working `wanted` from `from` may end: on a bit it visits, and only
// back where it began if that is all there is to visit.
bool canEnd(const QList<int> &wanted, int from, int end)
{
    if (wanted.isEmpty())
        return end == from;
    return wanted.contains(end) && (end != from || wanted.size() == 1);
}

} // namespace

BoardProgram BoardProgram::allOff()
{
    BoardProgram program;
    program.m_cells.fill(Cell::Off);
    return program;
}

QList<std::pair<int, int>> BoardState::apply(const SessionFile::Step &step)
{
    using BoardProtocol::Field;
    if (step.port) {
        m_program.port = step.port;
        return {};
    }
    // Whether Start ends the program: it was the last exchange.
    m_program.start = step.command == BoardProtocol::startCommand();
    switch (step.field) {
    case Field::Minute: m_minute = step.value; return {};
    case Field::Bit: m_bit = step.value; return {};
    case Field::Mode: m_program.mode = step.value; return {};
    case Field::None: break;
    }
    const bool inRange = m_minute >= 1 && m_minute <= BoardProgram::Minutes && m_bit >= 0
        && m_bit < BoardProgram::Bits;
    if (!inRange)
        return {};
    if (step.command == BoardProtocol::programCommand() || step.command == BoardProtocol::eraseBitMinuteCommand()) {
        const bool on = step.command == BoardProtocol::programCommand();
        m_program.setCell(m_minute, m_bit, on ? Cell::On : Cell::Off);
        return {{m_minute, m_bit}};
    }
    if (step.command == BoardProtocol::eraseMinutesCommand()) {
        QList<std::pair<int, int>> cells;
        for (int bit = 0; bit < BoardProgram::Bits; ++bit) {
            m_program.setCell(m_minute, bit, Cell::Off);
            cells.append({m_minute, bit});
        }
        return cells;
    }
    return {};
}

BoardProgram BoardProgram::fromSteps(const QList<SessionFile::Step> &steps)
{
    BoardState state;
    for (const SessionFile::Step &step : steps)
        state.apply(step);
    return state.program();
}

QByteArray BoardProgram::toSessionFile() const
{
    // Minute by minute, each ending on the bit that makes the rest cheapest:
    // best[b] is the least cost so far ending on bit b, with its plan.
    struct Way
    {
        int cost = 0;
        QList<MinutePlan> plans;
    };
    constexpr int None = std::numeric_limits<int>::max();
    std::array<Way, Bits> best;
    for (int bit = 0; bit < Bits; ++bit)
        best[bit].cost = bit == 0 ? 0 : None;   // a port pick leaves the board on bit 0
    int currentMinute = 1;                      // and on minute 1
    for (int minute = 1; minute <= Minutes; ++minute) {
        QList<int> set, on;
        for (int bit = 0; bit < Bits; ++bit) {
            if (cell(minute, bit) != Cell::Untouched)
                set << bit;
            if (cell(minute, bit) == Cell::On)
                on << bit;
        }
        if (set.isEmpty())
            continue;
        const int minuteCost = minute == currentMinute ? 0 : 1;
        currentMinute = minute;
        std::array<Way, Bits> next;
        for (Way &way : next)
            way.cost = None;
        for (int from = 0; from < Bits; ++from) {
            if (best[from].cost == None)
                continue;
            // Either erased whole (all of it set), then its on cells; or cell by cell.
            for (const bool erase : {false, true}) {
                if (erase && set.size() < Bits)
                    continue;
                const QList<int> &wanted = erase ? on : set;
                for (int end = 0; end < Bits; ++end) {
                    if (!canEnd(wanted, from, end))
                        continue;
                    const int total = best[from].cost + minuteCost + (erase ? 1 : 0)
                        + cost(wanted, from);
                    if (total >= next[end].cost)
                        continue;
                    MinutePlan plan{minute, erase, {}};
                    for (int bit : visitOrder(wanted, from, end))
                        plan.cells.append({bit, cell(minute, bit)});
                    next[end] = {total, best[from].plans};
                    next[end].plans.append(plan);
                }
            }
        }
        best = next;
    }
    const Way *cheapest = &best[0];
    for (const Way &way : best) {
        if (way.cost < cheapest->cost)
            cheapest = &way;
    }

    QByteArray text = "# A board's program, as programador saves it: --run, or Enviar in its\n"
                      "# program window, leaves the board holding it.\n";
    text += "Com" + QByteArray::number(port == 2 ? 2 : 1) + '\n';
    int minute = 1, bit = 0;
    for (const MinutePlan &plan : cheapest->plans) {
        QByteArray on, off;
        for (int b = 0; b < Bits; ++b) {
            if (cell(plan.minute, b) == Cell::On)
                on += ' ' + QByteArray::number(b);
            else if (cell(plan.minute, b) == Cell::Off)
                off += ' ' + QByteArray::number(b);
        }
        text += "# minute " + QByteArray::number(plan.minute) + ": on" + (on.isEmpty() ? " none" : on)
            + ", off" + (off.isEmpty() ? " none" : off) + '\n';
        if (plan.minute != minute)
            text += "Min " + QByteArray::number(plan.minute) + '\n';
        minute = plan.minute;
        if (plan.erase)
            text += "Minutos\n";
        for (const auto &[b, state] : plan.cells) {
            if (b != bit)
                text += "Bit " + QByteArray::number(b) + '\n';
            bit = b;
            text += state == Cell::On ? "Programar\n" : "Bit/Min\n";
        }
    }
    if (mode == 0)
        text += "Ejecutar Una\n";
    if (start)
        text += "Start\n";
    return text;
}
