#include "board_emulator.h"
#include "board_program.h"
#include "held_program.h"
#include "program_grid.h"
#include "qt_serial_channel.h"
#include "session_runner.h"
#include "session_steps.h"

#include <QRandomGenerator>
#include <QTest>

#include <algorithm>
#include <memory>
#include <optional>
#include <vector>

using Cell = BoardProgram::Cell;

// Session files carried out as --run does, on emulated boards behind real
// pseudo-terminals: what a board holds afterwards is what the file says it
// leaves (BoardProgram::fromSteps, and so --show), cells the file leaves
// untouched keeping what the board held before.
class TestProgramOnBoard : public QObject
{
    Q_OBJECT

    // One session on a board of its own.
    struct Run
    {
        QString name;
        QByteArray text;
        BoardEmulator::Cells before{};
        BoardProgram wanted;   // cells untouched where the board keeps its own
        std::unique_ptr<BoardEmulator> board;
        std::unique_ptr<QtSerialChannel> channel;
        std::unique_ptr<SessionRunner> runner;
        std::optional<Session::Summary> summary;
    };

    // Up to three minutes set, whole or in part, the rest untouched: a few
    // dozen exchanges, at the window's 200 ms each.
    static BoardProgram randomProgram(QRandomGenerator &rng)
    {
        BoardProgram p;
        for (int n = 0; n < 3; ++n) {
            const int minute = 1 + int(rng.bounded(BoardProgram::Minutes));
            const bool whole = rng.bounded(2) == 1;
            for (int bit = 0; bit < BoardProgram::Bits; ++bit)
                p.setCell(minute, bit, Cell(whole ? 1 + rng.bounded(2) : rng.bounded(3)));
        }
        p.mode = qint16(rng.bounded(2));
        p.start = rng.bounded(2) == 1;
        p.port = qint16(1 + rng.bounded(2));
        return p;
    }

    // All the sessions at once, each on its own board at a quick pace: a
    // session's exchanges take the window's 200 ms each whatever the board.
    static void runAll(std::vector<Run> &runs)
    {
        for (Run &run : runs) {
            run.board = std::make_unique<BoardEmulator>();
            QVERIFY2(run.board->start(), qPrintable(run.board->errorString()));
            run.board->setLinePaced(false);
            run.board->setReplyDelay(5);
            run.board->setCells(run.before);
            PortMap ports;
            for (qint16 port : PortMap::Ports)
                ports.setDevice(port, run.board->devicePath());
            run.channel = std::make_unique<QtSerialChannel>(ports);
            const auto parsed = sessionSteps(run.text);
            QVERIFY2(!parsed.isEmpty(), qPrintable(run.name));
            run.runner = std::make_unique<SessionRunner>(*run.channel, parsed, 0);
            connect(run.runner.get(), &SessionRunner::finished, run.runner.get(),
                    [&run](const Session::Summary &summary) { run.summary = summary; });
            run.runner->start();
        }
        QVERIFY(QTest::qWaitFor([&runs] {
            return std::all_of(runs.cbegin(), runs.cend(), [](const Run &r) { return r.summary.has_value(); });
        }, 60000));
    }

    static void compareHeld(const Run &run)
    {
        QCOMPARE(run.summary->outcome, Session::Outcome::Done);
        BoardProgram wanted = run.wanted;
        for (int minute = 1; minute <= BoardProgram::Minutes; ++minute) {
            for (int bit = 0; bit < BoardProgram::Bits; ++bit) {
                const bool on = (run.before[std::size_t(minute - 1)] >> bit) & 1;
                if (wanted.cell(minute, bit) == Cell::Untouched)
                    wanted.setCell(minute, bit, on ? Cell::On : Cell::Off);
            }
        }
        const QString held = ProgramGrid::text(heldProgram(*run.board));
        const QString said = ProgramGrid::text(wanted);
        QVERIFY2(held == said, qPrintable(QStringLiteral("%1\nheld:\n%2wanted:\n%3%4")
                                              .arg(run.name, held, said, QString::fromLatin1(run.text))));
    }

private slots:
    void theBoardHoldsWhatTheFileLeaves()
    {
        std::vector<Run> runs;
        const auto add = [&runs](const QString &name, const QByteArray &text, const BoardProgram &wanted,
                                 const BoardEmulator::Cells &before = {}) {
            Run run;
            run.name = name;
            run.text = text;
            run.wanted = wanted;
            run.before = before;
            runs.push_back(std::move(run));
        };
        const QByteArray byCaptions = "Com1\n"
                                      "Min 2 Bits 0 1 7\n"
                                      "Min 3\nBit 4\nProgramar\n"
                                      "Minutos\n"            // minute 3 all off again
                                      "Bit 6\nProgramar\n"
                                      "Min 2\nBit 1\nBit/Min\n"
                                      "Ejecutar Una\nStart\n";
        const QByteArray inEnglish = "Com2\n"
                                     "minute 10\nbit 7\nprogram\n"
                                     "erase-minute\n"
                                     "bit 3\nprogram\n"
                                     "Com1\n"                // back on minute 1, bit 0
                                     "program\nerase-cell\nbit 5\nprogram\n"
                                     "mode sequence\n";
        // From boards all off, as the files say; the second also on a board all on.
        add(QStringLiteral("by the captions"), byCaptions, BoardProgram::fromSteps(sessionSteps(byCaptions)));
        add(QStringLiteral("in English"), inEnglish, BoardProgram::fromSteps(sessionSteps(inEnglish)));
        BoardEmulator::Cells allOn;
        allOn.fill(0xff);
        add(QStringLiteral("in English, on a board all on"), inEnglish,
            BoardProgram::fromSteps(sessionSteps(inEnglish)), allOn);

        // A program's file leaves exactly that program, from boards all off
        // and from random boards.
        QRandomGenerator rng(41);
        for (int i = 0; i < 6; ++i) {
            const BoardProgram program = randomProgram(rng);
            BoardEmulator::Cells before{};
            if (i >= 2) {
                for (quint8 &minute : before)
                    minute = quint8(rng.bounded(256));
            }
            add(QStringLiteral("random program %1").arg(i), program.toSessionFile(), program, before);
        }

        runAll(runs);
        if (QTest::currentTestFailed())
            return;
        for (const Run &run : std::as_const(runs))
            compareHeld(run);
    }
};

QTEST_GUILESS_MAIN(TestProgramOnBoard)
#include "tst_program_on_board.moc"
