#include "board_emulator.h"
#include "board_protocol.h"
#include "form1.h"
#include "held_program.h"
#include "panel_test_base.h"
#include "program_grid_view.h"
#include "program_window.h"
#include "qt_serial_channel.h"
#include "session_file.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using namespace BoardProtocol;

// The board's program window beside the panel, on two emulated boards at
// the pace of a real 2400-baud line: gestures, files, Enviar, hand work.
class TstProgramWindow : public PanelTestBase
{
    Q_OBJECT

    ProgramWindow *window = nullptr;
    ProgramGridView *grid = nullptr;

    // The cell as shown: "1", "0" or "?", with " ✓" once confirmed.
    QString shown(int minute, int bit) const
    {
        return grid->model()->index(minute - 1, bit).data().toString();
    }
    QStringList minuteShown(int minute) const
    {
        QStringList out;
        for (int bit = 0; bit < 8; ++bit)
            out << shown(minute, bit);
        return out;
    }
    QPoint centre(int minute, int bit) const
    {
        return grid->visualRect(grid->model()->index(minute - 1, bit)).center();
    }
    QLabel *label(const char *name) const { return window->findChild<QLabel *>(QLatin1String(name)); }
    // What --run sends for this file, command after command.
    static QByteArray bytesOf(const QByteArray &text)
    {
        SessionFile::Mistake mistake;
        const QList<SessionFile::Step> steps = SessionFile::parse(text, &mistake).value();
        QByteArray bytes;
        for (const SessionFile::Step &step : steps)
            bytes += step.command;
        return bytes;
    }
    [[nodiscard]] bool sent(int ms = 60000)
    {
        QSignalSpy finished(window, &ProgramWindow::sendFinished);
        return finished.wait(ms) || !finished.isEmpty();
    }

private slots:
    void init()
    {
        QVERIFY(startPanel());
        ui->mnplaca->trigger();
        window = form->findChild<ProgramWindow *>();
        if (!window) {
            for (QWidget *top : QApplication::topLevelWidgets())
                if ((window = qobject_cast<ProgramWindow *>(top)))
                    break;
        }
        QVERIFY(window);
        QVERIFY(QTest::qWaitForWindowExposed(window));
        grid = window->findChild<ProgramGridView *>(QStringLiteral("grid"));
        QVERIFY(grid);
    }
    void cleanup() { stopPanel(); }

    // Keys and the mouse paint; undo takes back a whole gesture.
    void gesturesPaintAndUndo()
    {
        QCOMPARE(minuteShown(1), QStringList(8, QStringLiteral("0")));   // a new program is all off
        grid->setFocus();
        QTest::keyClick(grid, Qt::Key_Right);
        QTest::keyClick(grid, Qt::Key_Space);
        QCOMPARE(shown(1, 1), QStringLiteral("1"));
        QTest::keyClick(grid, Qt::Key_Down);
        QTest::keyClick(grid, Qt::Key_Space, Qt::ShiftModifier);   // all of minute 2
        QCOMPARE(minuteShown(2), QStringList(8, QStringLiteral("1")));
        QTest::keyClick(grid, Qt::Key_Space, Qt::ControlModifier);   // bit 1: not all on, so on
        QCOMPARE(shown(7, 1), QStringLiteral("1"));
        QTest::keyClick(grid, Qt::Key_Space, Qt::ControlModifier);   // all on: off
        QCOMPARE(shown(1, 1), QStringLiteral("0"));
        QCOMPARE(shown(7, 1), QStringLiteral("0"));
        QTest::keyClick(grid, Qt::Key_Delete);
        QCOMPARE(shown(2, 1), QStringLiteral("?"));

        // A drag across minute 3 from bit 0 paints every cell it crosses on,
        // the ones already on included; one undo takes it all back.
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, centre(3, 2));
        QCOMPARE(shown(3, 2), QStringLiteral("1"));
        QTest::mousePress(grid->viewport(), Qt::LeftButton, {}, centre(3, 0));
        for (int bit = 1; bit < 5; ++bit)
            QTest::mouseMove(grid->viewport(), centre(3, bit));
        QTest::mouseRelease(grid->viewport(), Qt::LeftButton, {}, centre(3, 4));
        QCOMPARE(minuteShown(3), (QStringList{"1", "1", "1", "1", "1", "0", "0", "0"}));
        QTest::keySequence(window, QKeySequence(QKeySequence::Undo));
        QCOMPARE(minuteShown(3), (QStringList{"0", "0", "1", "0", "0", "0", "0", "0"}));
        QTest::keySequence(window, QKeySequence(QKeySequence::Redo));
        QCOMPARE(minuteShown(3), (QStringList{"1", "1", "1", "1", "1", "0", "0", "0"}));
        QVERIFY(window->isModified());
        QVERIFY(window->windowTitle().contains(QLatin1String("Com")) || window->windowTitle().contains(QLatin1String("port")));
        // Screen readers hear each cell.
        QCOMPARE(grid->model()->index(2, 4).data(Qt::AccessibleTextRole).toString(),
                 QStringLiteral("Minute 3, bit 4: on"));
    }

    // Saved, opened again, the same program; a file with mistakes is refused
    // in the words of --run and leaves the grid alone; a save that fails says so.
    void filesKeepTheProgram()
    {
        QTemporaryDir dir;
        grid->setFocus();
        QTest::keyClick(grid, Qt::Key_Space, Qt::ShiftModifier);   // minute 1 on
        QTest::keyClick(grid, Qt::Key_Down);
        QTest::keyClick(grid, Qt::Key_Delete);                     // minute 2 bit 0 left alone
        const QString path = dir.filePath(QStringLiteral("board.txt"));
        QVERIFY(window->saveTo(path));
        QVERIFY(!window->isModified());
        const BoardProgram saved = window->program();

        QFile bad(dir.filePath(QStringLiteral("bad.txt")));
        QVERIFY(bad.open(QIODevice::WriteOnly));
        bad.write("Com1\nMin 11\n");
        bad.close();
        QSignalSpy reported(window, &ProgramWindow::reported);
        QVERIFY(!window->openFile(bad.fileName()));
        QCOMPARE(reported.size(), 1);
        QCOMPARE(reported.first().first().toString(),
                 bad.fileName() + QStringLiteral(":2:5: '11' is not a minute from 1 to 10"));
        QCOMPARE(window->program(), saved);

        QVERIFY(!window->saveTo(dir.filePath(QStringLiteral("no/such/folder/board.txt"))));
        QCOMPARE(reported.size(), 2);
        QVERIFY(reported.last().first().toString().contains(QLatin1String("not saved")));

        QVERIFY(window->openFile(path));
        QCOMPARE(window->program(), saved);
        QCOMPARE(shown(2, 0), QStringLiteral("?"));
        QCOMPARE(minuteShown(1), QStringList(8, QStringLiteral("1")));
    }

    // Enviar sends what --run sends for the file, through the panel's port;
    // every cell ends confirmed, and a click in the panel meanwhile goes after.
    void enviarSendsWhatRunSends()
    {
        QVERIFY(userPick(ui->LstPuerto, 1));
        QVERIFY(waitIdle());
        board2->clearLog();
        grid->setFocus();
        QTest::keyClick(grid, Qt::Key_Space);   // minute 1, bit 0
        QTest::keyClick(grid, Qt::Key_Down);
        QTest::keyClick(grid, Qt::Key_Right);
        QTest::keyClick(grid, Qt::Key_Space);   // minute 2, bit 1
        window->findChild<QComboBox *>(QStringLiteral("mode"))->setCurrentIndex(0);
        emit window->findChild<QComboBox *>(QStringLiteral("mode"))->activated(0);
        const QByteArray file = window->program().toSessionFile();
        QVERIFY(file.startsWith("# "));

        window->findChild<QPushButton *>(QStringLiteral("send"))->click();
        QTRY_VERIFY(!label("progress")->text().isEmpty());
        QVERIFY(userPick(ui->LstMin, 4));   // these wait for the program to end
        click(ui->PbStart);
        QVERIFY(sent());
        QVERIFY(waitIdle());
        QCOMPARE(board2->received(), bytesOf(file) + minuteCommand(5) + startCommand());
        BoardProgram held = heldProgram(*board2);
        held.port = 2;
        held.start = false;   // the panel's Start came after
        BoardProgram asked = window->program();
        QCOMPARE(held.toSessionFile(), asked.toSessionFile());
        for (int minute = 1; minute <= 10; ++minute)
            for (int bit = 0; bit < 8; ++bit)
                QVERIFY2(shown(minute, bit).endsWith(QStringLiteral(" \u2713")),
                         qPrintable(QStringLiteral("%1 %2 %3").arg(minute).arg(bit).arg(shown(minute, bit))));
        // The lists show where the board is, as after a port pick, and then
        // the pick that waited.
        QCOMPARE(lists(), (QStringList{"Com2", "5", QString::fromLatin1(board2->normalReply().mid(4, 1)),
                                       "Una"}));
        QVERIFY(channel->isOpen());
    }

    // Stopped, or the board lost, mid-way: the exchange under way ends, the
    // port closes, and what no reply confirmed is not shown confirmed.
    void stopOrLossMidWay_data()
    {
        QTest::addColumn<int>("how");   // 0 stop, 1 board lost, 2 no answer to the first erase
        QTest::newRow("stop") << 0;
        QTest::newRow("board lost") << 1;
        QTest::newRow("no answer") << 2;
    }
    void stopOrLossMidWay()
    {
        QFETCH(int, how);
        QVERIFY(userPick(ui->LstPuerto, 0));
        QVERIFY(waitIdle());
        board1->clearLog();
        window->findChild<QPushButton *>(QStringLiteral("send"))->click();
        // The port pick's four, then (no answer) the first Minutos, or a few more.
        const int before = how == 2 ? 4 : 4 + 4 + 3;
        QVERIFY(QTest::qWaitFor([&] { return board1->commands().size() >= before; }, 10000));
        if (how == 0)
            QTest::keyClick(window, Qt::Key_Escape);
        else if (how == 1)
            board1->hangUp();
        else
            board1->setSilent(true);
        QVERIFY(sent(10000));
        QVERIFY(!channel->isOpen());
        const char *said[] = {"told to stop", "went away", "no answer"};
        QVERIFY2(label("result")->text().contains(QLatin1String(said[how])), qPrintable(label("result")->text()));
        QCOMPARE(minuteShown(10), QStringList(8, QStringLiteral("0")));
        if (how == 2)
            QCOMPARE(minuteShown(1), QStringList(8, QStringLiteral("0")));   // its erase was never answered
        if (how == 0) {
            QTest::qWait(300);
            const int commands = int(board1->commands().size());
            QTest::qWait(500);
            QCOMPARE(int(board1->commands().size()), commands);   // nothing after the stop
        }
    }

    // What the person does by hand, as the board took it, shows in the grid.
    void handWorkIsKept()
    {
        QVERIFY(userPick(ui->LstPuerto, 0));
        QVERIFY(userPick(ui->LstMin, 2));
        QVERIFY(userPick(ui->LstBit, 5));
        click(ui->PbProgramar);
        QVERIFY(waitIdle());
        QCOMPARE(shown(3, 5), QStringLiteral("1"));
        QVERIFY(userPick(ui->LstSec, 0));
        QVERIFY(waitIdle());
        QCOMPARE(window->program().mode, qint16(0));
        // No answer: nothing changes.
        board1->setSilent(true);
        QVERIFY(userPick(ui->LstBit, 6));
        click(ui->PbProgramar);
        QVERIFY(waitIdle());
        QCOMPARE(shown(3, 6), QStringLiteral("0"));
        board1->setSilent(false);
        click(ui->PbBorraMinutos);
        QVERIFY(waitIdle());
        QCOMPARE(shown(3, 5), QStringLiteral("0"));
    }
};

QTEST_MAIN(TstProgramWindow)
#include "tst_program_window.moc"
