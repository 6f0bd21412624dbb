#include "board_program.h"
#include "session_steps.h"

#include <QRandomGenerator>
#include <QTest>

using Cell = BoardProgram::Cell;

// A board's program and its file form.
class TestBoardProgram : public QObject
{
    Q_OBJECT

    static BoardProgram random(QRandomGenerator &rng)
    {
        BoardProgram p;
        // Minutes now untouched, now all set, now mixed.
        for (int minute = 1; minute <= BoardProgram::Minutes; ++minute) {
            const int kind = int(rng.bounded(3));
            for (int bit = 0; bit < BoardProgram::Bits; ++bit) {
                const int pick = kind == 0 ? 0 : kind == 1 ? 1 + int(rng.bounded(2)) : int(rng.bounded(3));
                p.setCell(minute, bit, Cell(pick));
            }
        }
        p.mode = qint16(rng.bounded(2));
        p.start = rng.bounded(2) == 1;
        p.port = qint16(1 + rng.bounded(2));
        return p;
    }

private slots:
    // Written and read back, a program is the same program, and writes the same file.
    void fileFormRoundTrips()
    {
        QRandomGenerator rng(27);
        for (int i = 0; i < 500; ++i) {
            const BoardProgram program = random(rng);
            const QByteArray text = program.toSessionFile();
            const BoardProgram read = BoardProgram::fromSteps(sessionSteps(text));
            QVERIFY2(read == program, text.constData());
            QCOMPARE(read.toSessionFile(), text);
        }
    }

    // Every cell on: 80 Programar, 70 Bit (each minute's eight bits but the
    // one the board is on) and 9 Min, after the port pick's four.
    void eightyCellsTakeTheFewestExchanges()
    {
        BoardProgram all;
        for (int minute = 1; minute <= BoardProgram::Minutes; ++minute)
            for (int bit = 0; bit < BoardProgram::Bits; ++bit)
                all.setCell(minute, bit, Cell::On);
        QCOMPARE(SessionFile::exchangeCount(sessionSteps(all.toSessionFile())), 4 + 9 + 70 + 80);
        // A minute all off is erased whole: Min and Minutos.
        BoardProgram off;
        for (int bit = 0; bit < BoardProgram::Bits; ++bit)
            off.setCell(3, bit, Cell::Off);
        QCOMPARE(SessionFile::exchangeCount(sessionSteps(off.toSessionFile())), 4 + 2);
        QCOMPARE(SessionFile::exchangeCount(sessionSteps(BoardProgram::allOff().toSessionFile())), 4 + 9 + 10);
    }
};

QTEST_GUILESS_MAIN(TestBoardProgram)
#include "tst_board_program.moc"
