#include "program_grid.h"

#include <QCoreApplication>

QString ProgramGrid::text(const BoardProgram &program)
{
    using Cell = BoardProgram::Cell;
    QString text;
    for (int minute = 1; minute <= BoardProgram::Minutes; ++minute) {
        text += QStringLiteral("%1 ").arg(minute, 2);
        for (int bit = 0; bit < BoardProgram::Bits; ++bit) {
            const Cell cell = program.cell(minute, bit);
            text += QLatin1Char(cell == Cell::On ? On : cell == Cell::Off ? Off : Untouched);
        }
        text += u'\n';
    }
    // The mode by the step that sets it, the same in every language.
    text += QCoreApplication::translate("grid", "mode: %1")
                .arg(program.mode == 0 ? QStringLiteral("Una") : QStringLiteral("Sec."))
        + u'\n';
    text += (program.start ? QCoreApplication::translate("grid", "start: yes")
                           : QCoreApplication::translate("grid", "start: no"))
        + u'\n';
    return text;
}
