#include "board_emulator.h"
#include "line_trace_capture.h"
#include "qt_serial_channel.h"

#include <QElapsedTimer>
#include <QFile>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include <cerrno>
#include <tuple>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

using Failure = SerialChannel::Failure;

static double cpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec
           + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

class TstSerialChannel : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void readsTakeEverythingWaitingAndNeverBlock();
    void writesCarryExactlyTheBytesGiven();
    void closeAndReopen();
    void openFailuresSayWhy_data();
    void openFailuresSayWhy();
    void heldPortIsBusyAndHolderUndisturbed_data();
    void heldPortIsBusyAndHolderUndisturbed();
    void portLockedByALiveProgramIsBusy_data();
    void portLockedByALiveProgramIsBusy();
    void permissionDeniedIsToldAsSuch();
    void lossGivesTheSystemsWordsOnlyWhenTheyTell_data();
    void lossGivesTheSystemsWordsOnlyWhenTheyTell();
    void hangUpIsReportedOnceAndGoesIdle();
    void portPickWhileALossIsPendingGoesToThePortPicked();
    void comPortsFollowTheSystemList();
    void portsAreMarkedByTheDeviceEachNameOpens_data();
    void portsAreMarkedByTheDeviceEachNameOpens();
    void floodIsBounded();

private:
    PortMap mapTo(const QString &com1, const QString &com2 = QString());
    // The channel made anew on these devices, as the program makes it.
    void remake(const PortMap &ports);
    // Opens the board's port in a child running as nobody: "<failure>|<message>",
    // or "opened". Needs root.
    QString openAsAnotherUser();

    BoardEmulator *board = nullptr;
    QtSerialChannel *serie = nullptr;
};

// Another program's settings left on the line.
static void spoilLine(const QString &device)
{
    const int fd = ::open(QFile::encodeName(device).constData(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    QVERIFY(fd >= 0);
    termios tio{};
    QVERIFY(::tcgetattr(fd, &tio) == 0);
    ::cfsetispeed(&tio, B9600);
    ::cfsetospeed(&tio, B9600);
    tio.c_cflag |= CSTOPB | CRTSCTS;
    tio.c_iflag |= IXON | IXOFF;
    QVERIFY(::tcsetattr(fd, TCSANOW, &tio) == 0);
    ::close(fd);
}

PortMap TstSerialChannel::mapTo(const QString &com1, const QString &com2)
{
    PortMap ports;
    ports.setDevice(1, com1);
    if (!com2.isEmpty())
        ports.setDevice(2, com2);
    return ports;
}

void TstSerialChannel::remake(const PortMap &ports)
{
    delete serie;
    serie = new QtSerialChannel(ports, this);
    serie->setPortNumber(1);
}

void TstSerialChannel::init()
{
    board = new BoardEmulator(this);
    QVERIFY2(board->start(), qPrintable(board->errorString()));
    board->setSilent(true);
    serie = new QtSerialChannel(mapTo(board->devicePath()), this);
    serie->setPortNumber(1);
}

void TstSerialChannel::cleanup()
{
    delete serie;
    delete board;
    serie = nullptr;
    board = nullptr;
}

void TstSerialChannel::readsTakeEverythingWaitingAndNeverBlock()
{
    QVERIFY(!serie->isOpen());
    QCOMPARE(serie->readAll(), QByteArray());   // closed: empty, no report
    QVERIFY(serie->open());
    QCOMPARE(serie->readAll(), QByteArray());

    // Bursts in separate writes, with the event loop running between them so
    // Qt has picked some up and the OS holds the rest.
    board->sendUnasked("AB");
    QTest::qWait(30);
    board->sendUnasked("CDE");
    QTest::qWait(30);
    board->sendUnasked(QByteArray("\x00\xff\x80", 3));
    QByteArray got;
    QTRY_COMPARE_WITH_TIMEOUT((got += serie->readAll()).size(), 8, 2000);
    QCOMPARE(got, QByteArray("ABCDE\x00\xff\x80", 8));
    QCOMPARE(serie->readAll(), QByteArray());

}

void TstSerialChannel::writesCarryExactlyTheBytesGiven()
{
    QSignalSpy errors(serie, &SerialChannel::errorOccurred);
    QVERIFY(!serie->write("I1"));
    QCOMPARE(errors.size(), 1);
    QCOMPARE(errors.first().at(0).value<Failure>(), Failure::NotOpen);
    QVERIFY(errors.first().at(1).toString().contains(QStringLiteral("Com1 or Com2")));

    QVERIFY(serie->open());
    QVERIFY(serie->write("I1"));
    // Handed to the OS already: the board sees it without our loop running.
    QTRY_COMPARE(board->received().toHex(' '), QByteArray("49 31"));
    QVERIFY(serie->write("I2P  10 "));
    QVERIFY(serie->write(QByteArray("\x00\xe9", 2)));
    QTRY_COMPARE(board->received().toHex(' '),
                 QByteArray("49 31 49 32 50 20 20 31 30 20 00 e9"));
    QCOMPARE(errors.size(), 1);
}

void TstSerialChannel::closeAndReopen()
{
    QSignalSpy errors(serie, &SerialChannel::errorOccurred);
    serie->close();   // already closed: nothing happens
    QVERIFY(!serie->isOpen());

    QVERIFY(serie->open());
    QVERIFY(serie->open());   // open stays open
    serie->close();
    serie->close();
    QVERIFY(!serie->isOpen());
    QVERIFY(serie->open());
    QVERIFY(serie->write("I1"));
    QTRY_COMPARE(board->received(), QByteArray("I1"));

    // The port is chosen only while closed.
    serie->setPortNumber(2);
    QCOMPARE(serie->portNumber(), qint16(1));
    serie->close();
    serie->setPortNumber(2);
    QCOMPARE(serie->portNumber(), qint16(2));
    QCOMPARE(errors.size(), 0);
}

void TstSerialChannel::openFailuresSayWhy_data()
{
    QTest::addColumn<QString>("device");
    QTest::addColumn<Failure>("failure");
    QTest::addColumn<QString>("words");

    QTest::newRow("missing") << "/dev/programador-no-such-tty" << Failure::NoSuchDevice
                             << "no such device";
    QTest::newRow("not a tty") << "/dev/null" << Failure::Other << "Cannot open";
}

void TstSerialChannel::openFailuresSayWhy()
{
    QFETCH(QString, device);
    QFETCH(Failure, failure);
    QFETCH(QString, words);

    remake(mapTo(device, board->devicePath()));
    QSignalSpy errors(serie, &SerialChannel::errorOccurred);
    QVERIFY(!serie->open());
    QVERIFY(!serie->isOpen());
    QCOMPARE(errors.size(), 1);
    QCOMPARE(errors.first().at(0).value<Failure>(), failure);
    const QString message = errors.first().at(1).toString();
    QVERIFY2(message.contains(QStringLiteral("Com1")), qPrintable(message));
    QVERIFY2(message.contains(device), qPrintable(message));
    QVERIFY2(message.contains(words), qPrintable(message));

    // Nothing of the line settings was lost, and the next pick works: the
    // line, left at 9600 baud, two stop bits and both flow controls by
    // another program, is the board's 2400 8N1 again. (A pseudo-terminal
    // keeps eight bits and no parity whatever it is asked.)
    spoilLine(board->devicePath());
    QVERIFY2(board->lineSettings().startsWith(QLatin1String("9600 8N2, RTS/CTS+XON/XOFF")), qPrintable(board->lineSettings()));
    serie->setPortNumber(2);
    QVERIFY(serie->open());
    QCOMPARE(board->lineSettings(), QStringLiteral("2400 8N1, no flow control"));
    QVERIFY(serie->write("I8"));
    QTRY_COMPARE(board->received(), QByteArray("I8"));
    QCOMPARE(errors.size(), 1);
}

void TstSerialChannel::heldPortIsBusyAndHolderUndisturbed_data()
{
    QTest::addColumn<QString>("name");
    // Every name of one device is the same device: a second opener is
    // refused whichever name it uses, even as root.
    QTest::newRow("same path") << QString();
    QTest::newRow("a link to it") << QStringLiteral("link");
    QTest::newRow("a name without /dev/") << QStringLiteral("bare");
}

void TstSerialChannel::heldPortIsBusyAndHolderUndisturbed()
{
    QFETCH(QString, name);
    QTemporaryDir dir;
    QString device = board->devicePath();
    if (name == QLatin1String("link")) {
        device = dir.filePath(QStringLiteral("usb-Board_1234-if00-port0"));
        QVERIFY(QFile::link(board->devicePath(), device));
    } else if (name == QLatin1String("bare")) {
        device = board->devicePath().mid(int(qstrlen("/dev/")));
    }
    QtSerialChannel holder(mapTo(board->devicePath()));
    QVERIFY(holder.open());

    remake(mapTo(device));
    QSignalSpy errors(serie, &SerialChannel::errorOccurred);
    QVERIFY(!serie->open());
    QCOMPARE(errors.size(), 1);
    QCOMPARE(errors.first().at(0).value<Failure>(), Failure::Busy);
    const QString message = errors.first().at(1).toString();
    QVERIFY2(message.contains(QStringLiteral("another program")), qPrintable(message));
    QVERIFY2(message.contains(device), qPrintable(message));

    QSignalSpy holderErrors(&holder, &SerialChannel::errorOccurred);
    QVERIFY(holder.isOpen());
    QVERIFY(holder.write("I5"));
    QTRY_COMPARE(board->received(), QByteArray("I5"));
    board->sendUnasked("OK");
    QByteArray got;
    QTRY_COMPARE((got += holder.readAll()), QByteArray("OK"));
    QCOMPARE(holderErrors.size(), 0);

    holder.close();
    QVERIFY(serie->open());
}

QString TstSerialChannel::openAsAnotherUser()
{
    int fds[2];
    if (pipe(fds) != 0)
        return QStringLiteral("no pipe");
    const pid_t child = fork();
    if (child < 0)
        return QStringLiteral("no fork");
    if (child == 0) {
        close(fds[0]);
        if (setgid(65534) != 0 || setuid(65534) != 0)
            _exit(3);
        QtSerialChannel channel(mapTo(board->devicePath()));
        QString said = QStringLiteral("opened");
        QObject::connect(&channel, &SerialChannel::errorOccurred,
                         [&](SerialChannel::Failure failure, const QString &message) {
                             said = QString::number(int(failure)) + QLatin1Char('|') + message;
                         });
        channel.open();
        const QByteArray out = said.toUtf8();
        [[maybe_unused]] ssize_t n = write(fds[1], out.constData(), size_t(out.size()));
        _exit(0);
    }
    close(fds[1]);
    QByteArray out;
    char buffer[512];
    for (ssize_t n; (n = read(fds[0], buffer, sizeof buffer)) > 0;)
        out.append(buffer, n);
    close(fds[0]);
    int status = 0;
    waitpid(child, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return QStringLiteral("child ended with %1").arg(status);
    return QString::fromUtf8(out);
}

void TstSerialChannel::portLockedByALiveProgramIsBusy_data()
{
    QTest::addColumn<QByteArray>("format");   // printf format of the PID in the lock
    QTest::addColumn<bool>("alive");
    // The holder is ours, as root, and the opener nobody: the system will not
    // let it signal the holder (EPERM), yet the holder lives.
    QTest::addColumn<bool>("anotherUsers");

    QTest::newRow("as minicom writes it, alive") << QByteArray("%10d\nminicom root\n") << true << false;
    QTest::newRow("a bare PID, alive") << QByteArray("%d") << true << false;
    QTest::newRow("as minicom writes it, gone") << QByteArray("%10d\nminicom root\n") << false << false;
    QTest::newRow("a bare PID, gone") << QByteArray("%d") << false << false;
    QTest::newRow("alive, another user's") << QByteArray("%10d\nminicom root\n") << true << true;
}

void TstSerialChannel::portLockedByALiveProgramIsBusy()
{
    QFETCH(QByteArray, format);
    QFETCH(bool, alive);
    QFETCH(bool, anotherUsers);
    if (anotherUsers && geteuid() != 0)
        QSKIP("needs root to open the port as another user");

    pid_t pid = getpid();
    if (!alive) {
        pid = fork();
        QVERIFY(pid >= 0);
        if (pid == 0)
            _exit(0);
        QCOMPARE(waitpid(pid, nullptr, 0), pid);
    }
    // Named after the device's base name, as other serial programs do.
    QFile lock(QStringLiteral("/var/lock/LCK..") + QFileInfo(board->devicePath()).fileName());
    if (!lock.open(QIODevice::WriteOnly | QIODevice::NewOnly))
        QSKIP(qPrintable(QStringLiteral("cannot write %1").arg(lock.fileName())));
    const auto removeLock = qScopeGuard([&lock] { lock.remove(); });
    lock.write(QString::asprintf(format.constData(), int(pid)).toLatin1());
    lock.close();

    if (anotherUsers) {
        // Theirs to open, but for the lock.
        QVERIFY(QFile::setPermissions(board->devicePath(), QFile::ReadOwner | QFile::WriteOwner
                                                              | QFile::ReadOther | QFile::WriteOther));
        const QString said = openAsAnotherUser();
        QVERIFY2(said.section(QLatin1Char('|'), 0, 0).toInt() == int(Failure::Busy), qPrintable(said));
        QVERIFY2(said.contains(QString::number(pid)), qPrintable(said));
        QVERIFY(lock.exists());
        return;
    }
    QSignalSpy errors(serie, &SerialChannel::errorOccurred);
    QCOMPARE(serie->open(), !alive);
    if (!alive)
        return;
    QCOMPARE(errors.size(), 1);
    QCOMPARE(errors.first().at(0).value<Failure>(), Failure::Busy);
    const QString message = errors.first().at(1).toString();
    QVERIFY2(message.contains(QString::number(pid)), qPrintable(message));
    QVERIFY(lock.exists());
}

void TstSerialChannel::permissionDeniedIsToldAsSuch()
{
    // A pseudo-terminal belongs to its opener (root here) and to root's group
    // or to tty, which may only write to it (mode 600 or 620): an ordinary
    // user may not open it, and joining its group would not help.
    if (geteuid() != 0)
        QSKIP("needs root to try the port as another user");
    const QString said = openAsAnotherUser();
    QCOMPARE(said.section(QLatin1Char('|'), 0, 0).toInt(), int(Failure::PermissionDenied));
    const QString message = said.section(QLatin1Char('|'), 1);
    QVERIFY2(message.startsWith(QStringLiteral("Cannot open Com1 (%1): permission denied.")
                                    .arg(board->devicePath())),
             qPrintable(message));
    // The reason once, not again in the system's words.
    QCOMPARE(message.count(QLatin1String("ermission denied"), Qt::CaseInsensitive), 1);
}

void TstSerialChannel::lossGivesTheSystemsWordsOnlyWhenTheyTell_data()
{
    QTest::addColumn<QString>("osText");
    QTest::addColumn<bool>("shown");

    QTest::newRow("no such file") << qt_error_string(ENOENT) << false;
    QTest::newRow("not a tty") << qt_error_string(ENOTTY) << false;
    QTest::newRow("input/output error") << qt_error_string(EIO) << false;
    // Left over from the last read that found nothing: the line ended.
    QTest::newRow("try again") << qt_error_string(EAGAIN) << false;
    QTest::newRow("nothing") << QString() << false;
    QTest::newRow("protocol error") << qt_error_string(EPROTO) << true;
    // Windows' words end in a full stop of their own: not one inside ours.
    QTest::newRow("a full stop of its own") << QStringLiteral("Protocol error.") << true;
}

void TstSerialChannel::lossGivesTheSystemsWordsOnlyWhenTheyTell()
{
    QFETCH(QString, osText);
    QFETCH(bool, shown);

    const QString message = QtSerialChannel::lostMessage(2, QStringLiteral("/dev/ttyUSB0"), osText);
    QVERIFY2(message.contains(QLatin1String("Lost the connection on Com2 (/dev/ttyUSB0): the "
                                            "device went away")),
             qPrintable(message));
    const QString words = osText.endsWith(u'.') ? osText.chopped(1) : osText;
    QCOMPARE(message.contains(QStringLiteral("(%1).").arg(words)), shown);
}

void TstSerialChannel::hangUpIsReportedOnceAndGoesIdle()
{
    // Com1 by a name that follows the adapter, as /dev/serial/by-id/ names do.
    QTemporaryDir dir;
    const QString link = dir.filePath(QStringLiteral("board"));
    QVERIFY(QFile::link(board->devicePath(), link));
    remake(mapTo(link));
    QVERIFY(serie->open());
    QSignalSpy errors(serie, &SerialChannel::errorOccurred);
    // Bytes taken in just before the hang-up, read by nobody: traced all the same.
    const QStringList traced = LineTraceCapture::events(LineTraceCapture::of(true, [&] {
        board->sendUnasked("OK0");
        QTest::qWait(100);
        board->hangUp();
        QVERIFY(errors.wait(2000));
    }));
    if (QTest::currentTestFailed())
        return;
    QVERIFY2(traced.contains(QStringLiteral(R"(discarded "OK0")")), qPrintable(traced.join(u'|')));
    QCOMPARE(errors.first().at(0).value<Failure>(), Failure::Lost);
    const QString message = errors.first().at(1).toString();
    QVERIFY2(message.contains(QStringLiteral("Com1")), qPrintable(message));
    QVERIFY(!serie->isOpen());

    // Left alone, Qt would spin on the dead line; a spin costs a whole core.
    const double before = cpuSeconds();
    QTest::qWait(1000);
    const double used = cpuSeconds() - before;
    QVERIFY2(used < 0.2, qPrintable(QStringLiteral("%1 s of CPU while idle").arg(used)));
    QCOMPARE(errors.size(), 1);
    QCOMPARE(serie->readAll(), QByteArray());
    QVERIFY(!serie->write("I1"));
    QCOMPARE(errors.last().at(0).value<Failure>(), Failure::NotOpen);

    // The board plugged in again, on a new device: the same port opens as usual.
    BoardEmulator other;
    QVERIFY(other.start());
    QVERIFY(QFile::remove(link));
    QVERIFY(QFile::link(other.devicePath(), link));
    QVERIFY(serie->open());
    QVERIFY(serie->write("I1"));
    QTRY_COMPARE(other.received(), QByteArray("I1"));
}

void TstSerialChannel::portPickWhileALossIsPendingGoesToThePortPicked()
{
    BoardEmulator second;
    QVERIFY(second.start());
    remake(mapTo(board->devicePath(), second.devicePath()));
    QVERIFY(serie->open());
    QSignalSpy errors(serie, &SerialChannel::errorOccurred);
    board->hangUp();
    // Noticed by Qt's notifier, not yet reported from the event loop.
    QElapsedTimer clock;
    clock.start();
    while (serie->isOpen() && clock.elapsed() < 2000)
        QCoreApplication::processEvents();
    QCOMPARE(errors.size(), 0);

    serie->setPortNumber(2);
    QCOMPARE(serie->portNumber(), qint16(2));
    QVERIFY(serie->open());
    QCOMPARE(serie->deviceName(), second.devicePath());
    QVERIFY(serie->write("I1"));
    QTRY_COMPARE(second.received(), QByteArray("I1"));
    // The loss is still told, once, about the port that went away.
    QTest::qWait(50);
    QCOMPARE(errors.size(), 1);
    QCOMPARE(errors.first().at(0).value<Failure>(), Failure::Lost);
    QVERIFY(errors.first().at(1).toString().contains(QStringLiteral("Com1")));
    QVERIFY(serie->isOpen());
}

void TstSerialChannel::comPortsFollowTheSystemList()
{
    const QStringList none, one{"/dev/ttyUSB0"}, two{"/dev/ttyS0", "/dev/ttyUSB0"},
        three{"/dev/ttyACM0", "/dev/ttyS0", "/dev/ttyUSB0"};
    for (const auto &[listed, com1, com2] :
         {std::tuple{none, "", ""}, std::tuple{one, "/dev/ttyUSB0", ""},
          std::tuple{two, "/dev/ttyS0", "/dev/ttyUSB0"},
          std::tuple{three, "/dev/ttyACM0", "/dev/ttyS0"},
          // Natural order, whatever order the system lists them in.
          std::tuple{QStringList{"/dev/ttyS10", "/dev/ttyUSB0", "/dev/ttyS2"}, "/dev/ttyS2",
                     "/dev/ttyS10"}}) {
        QCOMPARE(PortMap::fromList(listed, 1), QString::fromLatin1(com1));
        QCOMPARE(PortMap::fromList(listed, 2), QString::fromLatin1(com2));
    }

    // Looked up at each pick: an adapter plugged in after start is found,
    // and a fixed device stays what it was given.
    QStringList system = one;
    PortMap ports;
    ports.setLister([&system] { return system; });
    QCOMPARE(ports.device(2), QString());
    system = two;
    QCOMPARE(ports.device(2), QStringLiteral("/dev/ttyUSB0"));
    ports.setDevice(2, QStringLiteral("/dev/ttyS7"));
    QCOMPARE(ports.device(2), QStringLiteral("/dev/ttyS7"));

    // An entry with no device behind it says so when picked.
    PortMap short_;
    short_.setLister([&] { return QStringList{board->devicePath()}; });
    remake(short_);
    serie->setPortNumber(2);
    QSignalSpy errors(serie, &SerialChannel::errorOccurred);
    QVERIFY(!serie->open());
    QCOMPARE(errors.size(), 1);
    QCOMPARE(errors.first().at(0).value<Failure>(), Failure::NoSuchDevice);
    QVERIFY(errors.first().at(1).toString().contains(QStringLiteral("Com2")));
    serie->setPortNumber(1);
    QVERIFY(serie->open());
    QCOMPARE(serie->deviceName(), board->devicePath());
}

void TstSerialChannel::portsAreMarkedByTheDeviceEachNameOpens_data()
{
    QTest::addColumn<QString>("com1");   // "link", "bare", "path" or "other"
    QTest::addColumn<QString>("com2");
    QTest::addColumn<QList<qint16>>("marked");

    QTest::newRow("the path as listed") << "path" << "other" << QList<qint16>{1};
    QTest::newRow("a link to it") << "link" << "other" << QList<qint16>{1};
    QTest::newRow("its name without /dev/") << "other" << "bare" << QList<qint16>{2};
    QTest::newRow("both entries, two names") << "link" << "bare" << QList<qint16>{1, 2};
    QTest::newRow("neither") << "other" << "other" << QList<qint16>{};
}

void TstSerialChannel::portsAreMarkedByTheDeviceEachNameOpens()
{
    QFETCH(QString, com1);
    QFETCH(QString, com2);
    QFETCH(QList<qint16>, marked);

    BoardEmulator other;
    QVERIFY(other.start());
    QTemporaryDir dir;
    const QString link = dir.filePath(QStringLiteral("usb-Board_1234-if00-port0"));
    QVERIFY(QFile::link(board->devicePath(), link));
    const QHash<QString, QString> names{
        {QStringLiteral("path"), board->devicePath()},
        {QStringLiteral("link"), link},
        {QStringLiteral("bare"), board->devicePath().mid(int(qstrlen("/dev/")))},
        {QStringLiteral("other"), other.devicePath()},
    };
    QCOMPARE(mapTo(names.value(com1), names.value(com2)).entriesAt(board->devicePath()), marked);

    // Windows lists "\\.\COM1" for what the panel calls COM1.
    QCOMPARE(PortMap::windowsLocation(QStringLiteral("COM1")),
             PortMap::windowsLocation(QStringLiteral("\\\\.\\COM1")));
    QCOMPARE(PortMap::windowsLocation(QStringLiteral("com2")),
             PortMap::windowsLocation(QStringLiteral("\\\\.\\COM2")));
    QVERIFY(PortMap::windowsLocation(QStringLiteral("COM1"))
            != PortMap::windowsLocation(QStringLiteral("\\\\.\\COM10")));
}

void TstSerialChannel::floodIsBounded()
{
    QVERIFY(serie->open());
    // Far more than the receive buffer, while nobody reads; faster than any
    // 2400-baud line could carry it, so the board is not paced.
    board->setLinePaced(false);
    qsizetype taken = 0;
    const QStringList traced = LineTraceCapture::events(LineTraceCapture::of(true, [&] {
        board->sendUnasked(QByteArray(256 * 1024, 'x'));
        QTest::qWait(200);
        taken = serie->readAll().size();
        QVERIFY(taken > 0);
        QVERIFY(taken <= QtSerialChannel::ReceiveBufferSize);
        // Drain the rest; afterwards the line carries the board's words again.
        for (int empties = 0, i = 0; empties < 3 && i < 5000; ++i) {
            const qsizetype more = serie->readAll().size();
            taken += more;
            empties = more ? 0 : empties + 1;
            QTest::qWait(2);
        }
    }));
    if (QTest::currentTestFailed())
        return;
    // Every byte read either came out of the channel or is in the trace.
    qsizetype overrun = 0;
    for (const QString &line : traced)
        if (line.startsWith(QLatin1String("overrun, discarded \"")))
            overrun += line.count(QLatin1Char('x'));
    QCOMPARE(taken + overrun, 256 * 1024);
    board->sendUnasked("OK0101");
    QByteArray got;
    QTRY_COMPARE((got += serie->readAll()), QByteArray("OK0101"));
}

QTEST_GUILESS_MAIN(TstSerialChannel)
#include "tst_serial_channel.moc"
