// The board's program window: an 80-cell program sent with Enviar through
// the panel's exchange, against a board on its own thread at the pace of a
// 2400-baud line, against the protocol's floor for its exchanges; and the
// time from opening a 1 MiB program file to the grid drawn.

#include "board_program.h"
#include "board_thread.h"
#include "form1.h"
#include "program_window.h"
#include "qt_serial_channel.h"
#include "stats.h"

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QPainter>
#include <QTableView>
#include <QTemporaryDir>
#include <QTimer>

using namespace Bench;

namespace {

constexpr int Rounds = 3;
constexpr int Opens = 10;

BoardProgram everyCellOn()
{
    BoardProgram program;
    for (int minute = 1; minute <= BoardProgram::Minutes; ++minute)
        for (int bit = 0; bit < BoardProgram::Bits; ++bit)
            program.setCell(minute, bit, BoardProgram::Cell::On);
    return program;
}

// A file of just under 1 MiB: the same three steps again and again.
QByteArray bigFile()
{
    QByteArray text = "Com1\n";
    const QByteArray steps = "Min 3\nBit 5\nProgramar\nBit 6\nBit/Min\n";
    while (text.size() + steps.size() < (1 << 20))
        text += steps;
    return text;
}

// Counts the grid's paints, to know when it has been drawn.
class PaintWatch : public QObject
{
public:
    int paints = 0;
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint)
            ++paints;
        return false;
    }
};

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    BoardThread board;
    if (!board.started()) {
        note(QStringLiteral("bench_program: cannot start the emulated board: %1").arg(board.devicePath()));
        return 1;
    }
    PortMap ports;
    ports.setDevice(1, board.devicePath());
    QtSerialChannel channel(ports);
    Form1 form(channel);
    form.show();
    ProgramWindow &window = form.showProgramWindow();

    QTemporaryDir dir;
    const QString program = dir.filePath(QStringLiteral("all.txt"));
    {
        QFile file(program);
        file.open(QIODevice::WriteOnly);
        BoardProgram all = everyCellOn();
        all.port = 1;
        file.write(all.toSessionFile());
    }

    // A 1 MiB file opened, until the grid has been drawn.
    const QString big = dir.filePath(QStringLiteral("big.txt"));
    {
        QFile file(big);
        file.open(QIODevice::WriteOnly);
        file.write(bigFile());
    }
    auto *grid = window.findChild<QTableView *>(QStringLiteral("grid"));
    PaintWatch watch;
    grid->viewport()->installEventFilter(&watch);
    std::vector<double> opens;
    for (int i = 0; i < Opens; ++i) {
        window.openFile(program);   // something else in the grid first
        QCoreApplication::processEvents();
        const int before = watch.paints;
        QElapsedTimer clock;
        clock.start();
        if (!window.openFile(big)) {
            note(QStringLiteral("bench_program: the 1 MiB file was refused"));
            return 1;
        }
        grid->viewport()->repaint();
        while (watch.paints == before)
            QCoreApplication::processEvents();
        opens.push_back(double(clock.nsecsElapsed()) / 1e6);
    }
    const Summary open = summarize(opens);
    row(QStringLiteral("9"),
        QStringLiteral("Program window: a 1 MiB program file opened until the grid is drawn (%1 runs)")
            .arg(Opens),
        describe(open, "ms", 1), QStringLiteral("under 100 ms"), atMost(open.max, 100.0, "ms", 1));
    std::vector<double> overPercent;
    qsizetype exchanges = 0;
    double floor = 0;
    for (int round = 0; round < Rounds; ++round) {
        window.openFile(program);
        QEventLoop loop;
        Session::Summary summary;
        const auto connection = QObject::connect(&window, &ProgramWindow::sendFinished,
                                                 [&](const Session::Summary &s) {
            summary = s;
            loop.quit();
        });
        window.send();
        loop.exec();
        QObject::disconnect(connection);
        if (summary.outcome != Session::Outcome::Done) {
            note(QStringLiteral("bench_program: the program did not go through"));
            return 1;
        }
        exchanges = summary.exchanges;
        floor = summary.floorSeconds;
        overPercent.push_back(100 * (summary.seconds - floor) / floor);
        note(QStringLiteral("round %1: %2 exchanges in %3 s, floor %4 s")
                 .arg(round + 1).arg(exchanges).arg(summary.seconds, 0, 'f', 3).arg(floor, 0, 'f', 3));
    }
    const Summary over = summarize(overPercent);
    row(QStringLiteral("9"),
        QStringLiteral("Program window, 80 cells on sent with Enviar (%1 exchanges): time over the "
                       "protocol's floor (%2 s), %3 rounds")
            .arg(exchanges).arg(floor, 0, 'f', 1).arg(Rounds),
        describe(over, "%", 2), QStringLiteral("within 2%"), atMost(over.max, 2.0, "%", 2));

    return 0;
}
