// The other end of a fault test, in a process of its own so that what it
// holds (a flood queued for the line, a port it keeps open) is not ours.
//
//   fault_peer board [DELAY_MS]  an emulated board; prints "ready DEVICE", then takes
//                                "flood N" (N bytes now) and "flood-next N" (N bytes
//                                when the next command arrives) on stdin
//   fault_peer hold DEVICE       holds DEVICE open as another program would; prints
//                                "open" or "failed ...", takes "write TEXT", prints
//                                "read HEX" for what arrives
//   fault_peer check DEVICE      opens DEVICE, sends "I1" and waits for a six-byte
//                                reply; exit code 0 when it came
// Every mode ends when stdin closes.

#include "board_emulator.h"
#include "qt_serial_channel.h"

#include <QCoreApplication>
#include <QSocketNotifier>
#include <QTimer>

#include <cstdio>
#include <functional>
#include <memory>
#include <utility>

#include <unistd.h>

namespace {

void say(const QByteArray &line)
{
    std::fputs((line + '\n').constData(), stdout);
    std::fflush(stdout);
}

// Calls `onLine` for each line on stdin; quits the program at end of input.
void readStdin(QObject *owner, std::function<void(const QByteArray &)> onLine)
{
    auto *notifier = new QSocketNotifier(STDIN_FILENO, QSocketNotifier::Read, owner);
    auto pending = std::make_shared<QByteArray>();
    QObject::connect(notifier, &QSocketNotifier::activated, owner, [=] {
        char buffer[256];
        const ssize_t n = ::read(STDIN_FILENO, buffer, sizeof buffer);
        if (n <= 0) {
            notifier->setEnabled(false);
            QCoreApplication::quit();
            return;
        }
        pending->append(buffer, n);
        for (qsizetype end; (end = pending->indexOf('\n')) >= 0;) {
            onLine(pending->left(end));
            pending->remove(0, end + 1);
        }
    });
}

QtSerialChannel *openChannel(const QString &device, QObject *parent)
{
    PortMap ports;
    ports.setDevice(1, device);
    auto *serie = new QtSerialChannel(ports, parent);
    serie->setPortNumber(1);
    QObject::connect(serie, &SerialChannel::errorOccurred, parent,
                     [](SerialChannel::Failure, const QString &message) { say("failed " + message.toUtf8()); });
    return serie;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    const QString mode = args.value(0);

    if (mode == QLatin1String("board")) {
        auto *board = new BoardEmulator(&app);
        board->setReplyDelay(args.value(1, QStringLiteral("20")).toInt());
        // Its floods come faster than any 2400-baud line could carry them.
        board->setLinePaced(false);
        if (!board->start()) {
            say("failed " + board->errorString().toUtf8());
            return 1;
        }
        auto floodNext = std::make_shared<qsizetype>(0);
        QObject::connect(board, &BoardEmulator::commandParsed, &app, [=] {
            if (*floodNext > 0)
                board->sendUnasked(QByteArray(std::exchange(*floodNext, 0), 'x'));
        });
        readStdin(&app, [=](const QByteArray &line) {
            const QList<QByteArray> words = line.split(' ');
            const qsizetype count = words.value(1).toLongLong();
            if (words.first() == "flood")
                board->sendUnasked(QByteArray(count, 'x'));
            else if (words.first() == "flood-next")
                *floodNext = count;
        });
        say("ready " + board->devicePath().toLocal8Bit());
        return app.exec();
    }

    if (mode == QLatin1String("hold") || mode == QLatin1String("check")) {
        QtSerialChannel *serie = openChannel(args.value(1), &app);
        if (!serie->open())
            return 1;
        if (mode == QLatin1String("hold")) {
            say("open");
            readStdin(&app, [=](const QByteArray &line) {
                if (line.startsWith("write "))
                    serie->write(line.mid(6));
            });
        } else {
            serie->write("I1");
            QTimer::singleShot(5000, &app, [] { QCoreApplication::exit(1); });
        }
        auto got = std::make_shared<QByteArray>();
        auto *poll = new QTimer(&app);
        QObject::connect(poll, &QTimer::timeout, &app, [=] {
            const QByteArray text = serie->readAll();
            if (text.isEmpty())
                return;
            say("read " + text.toHex());
            *got += text;
            if (mode == QLatin1String("check") && got->size() >= 6)
                QCoreApplication::exit(0);
        });
        poll->start(10);
        return app.exec();
    }

    std::fputs("usage: fault_peer board [DELAY_MS] | hold DEVICE | check DEVICE\n", stderr);
    return 2;
}
