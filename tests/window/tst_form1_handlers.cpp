#include "board_emulator.h"
#include "board_protocol.h"
#include "form1.h"
#include "line_tap.h"
#include "line_trace_capture.h"
#include "panel_test_base.h"
#include "qt_serial_channel.h"
#include "port_advice.h"
#include "translations.h"

#include <QAccessible>
#include <QApplication>
#include <QComboBox>
#include <QWheelEvent>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTemporaryFile>
#include <QTest>

#include <chrono>

#include <grp.h>
#include <unistd.h>

using namespace BoardProtocol;
using Clock = std::chrono::steady_clock;

static constexpr int SequenceLimitMs = 5000;

static const QByteArray Sequence = PanelTestBase::portPickBytes();

// In the message box shown, each line of what is to be typed (an option
// with its argument, a folder) fits the box's width, so word-wrap never
// breaks it.
static void optionLinesFitTheBox(Form1 *form)
{
    auto *box = form->findChild<QMessageBox *>();
    QVERIFY(box);
    QVERIFY(QTest::qWaitForWindowExposed(box));
    auto *label = box->findChild<QLabel *>(QStringLiteral("qt_msgbox_label"));
    QVERIFY(label);
    const int room = label->contentsRect().width();
    int lines = 0;
    for (const QString &line : label->text().split(QLatin1Char('\n'))) {
        if (!line.contains(QLatin1String("--com")) && !line.contains(QLatin1String("~/")))
            continue;
        ++lines;
        const int width = label->fontMetrics().horizontalAdvance(line);
        QVERIFY2(width <= room, qPrintable(QStringLiteral("%1 px in %2: %3").arg(width).arg(room).arg(line)));
    }
    QCOMPARE(lines, 3);
}

class TstForm1Handlers : public PanelTestBase
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void portPickRunsTheStartSequence();
    void anotherPortOrTheSameOneReopens();
    void everyPickAndButtonSendsItsCommand_data();
    void everyPickAndButtonSendsItsCommand();
    void keysPressTheFocusedButtonOnly_data();
    void keysPressTheFocusedButtonOnly();
    void replyIsToldToScreenReaders_data();
    void replyIsToldToScreenReaders();
    void actionsDuringAWaitRunLaterInOrder();
    void keysAndWheelDuringWorkCountOnceEach_data();
    void keysAndWheelDuringWorkCountOnceEach();
    void salirEndsAtOnce_data();
    void salirEndsAtOnce();
    void closingTheWindowReleasesThePort();
    void missingPortIsReportedAndWindowStaysUsable();
    void commandWithNoPortIsReported();
    void lostPortIsReportedOnceAndQueueDropped();
    void permissionAdviceFitsTheDevicesGroup_data();
    void permissionAdviceFitsTheDevicesGroup();
    void windowsAdviceSpeaksWindows_data();
    void windowsAdviceSpeaksWindows();

};

void TstForm1Handlers::init()
{
    QVERIFY(startPanel());
}

void TstForm1Handlers::cleanup()
{
    stopPanel();
}

void TstForm1Handlers::portPickRunsTheStartSequence()
{
    QList<Clock::time_point> finishedAt;
    const LineTap trace([&finishedAt](const QString &event) {
        if (LineTap::endsAnExchange(event))
            finishedAt.append(Clock::now());
    });
    QSignalSpy reported(form, &Form1::reported);

    QVERIFY(userPick(ui->LstPuerto, 1));
    QVERIFY(channel->isOpen());
    QCOMPARE(channel->deviceName(), board2->devicePath());
    QVERIFY(waitIdle());

    QCOMPARE(board2->received().toHex(' '), Sequence.toHex(' '));
    QCOMPARE(board1->received(), QByteArray());
    const auto commands = board2->commands();
    QCOMPARE(commands.size(), 4);
    QCOMPARE(finishedAt.size(), 4);
    for (int i = 1; i < 4; ++i)
        QVERIFY2(commands[i].at >= finishedAt[i - 1], "a command went out during a wait");

    QCOMPARE(lists(), (QStringList{"Com2", "1", "0", "Sec."}));
    QCOMPARE(boxes(), (QStringList{"OK", "01", "0", "Sec."}));   // the reply to "I1"
    // Com2's board holds minute 1, bit 0, Sec.
    QCOMPARE(board2->normalReply(), QByteArray("OK0101"));
    QCOMPARE(reported.size(), 0);
}

void TstForm1Handlers::anotherPortOrTheSameOneReopens()
{
    QVERIFY(userPick(ui->LstPuerto, 1));
    QVERIFY(waitIdle());
    QVERIFY(userPick(ui->LstMin, 6));
    QVERIFY(waitIdle());

    QVERIFY(userPick(ui->LstPuerto, 0));
    QVERIFY(waitIdle());
    QCOMPARE(board1->received(), Sequence);
    QCOMPARE(channel->deviceName(), board1->devicePath());
    // Com2 was let go: another program can have it now.
    PortMap map;
    map.setDevice(1, board2->devicePath());
    QtSerialChannel other(map);
    QVERIFY(other.open());
    other.close();
    QCOMPARE(lists(), (QStringList{"Com1", "1", "0", "Sec."}));

    // The same port again: closed, reopened and brought back to the start,
    // as the trace of the line tells it, event by event. Which read first
    // sees a reply depends on how busy the machine is, so reads are left out.
    QStringList expected{QStringLiteral("close Com1 \"%1\"").arg(board1->devicePath()),
                         QStringLiteral("open Com1 \"%1\"").arg(board1->devicePath())};
    for (const Command &command : portPickCommands()) {
        expected << QStringLiteral("write \"%1\"").arg(QLatin1String(command.bytes))
                 << QStringLiteral("shown \"OK0101\"");
    }
    QStringList traced = LineTraceCapture::events(LineTraceCapture::of(true, [this] {
        QVERIFY(userPick(ui->LstPuerto, 0));
        QVERIFY(waitIdle());
    }));
    traced.removeIf([](const QString &event) { return event.startsWith(QLatin1String("read ")); });
    if (QTest::currentTestFailed())
        return;
    QCOMPARE(traced, expected);
    QCOMPARE(board1->received(), Sequence + Sequence);
    QVERIFY(channel->isOpen());
}

void TstForm1Handlers::keysAndWheelDuringWorkCountOnceEach_data()
{
    QTest::addColumn<int>("from");
    QTest::addColumn<int>("key");   // 0: the wheel, one notch down each time
    QTest::addColumn<int>("presses");
    QTest::addColumn<QList<int>>("minutes");

    QTest::newRow("Down 12 times") << 0 << int(Qt::Key_Down) << 12
                                   << QList<int>{2, 3, 4, 5, 6, 7, 8, 9, 10};
    QTest::newRow("Up 5 times from 10") << 9 << int(Qt::Key_Up) << 5 << QList<int>{9, 8, 7, 6, 5};
    QTest::newRow("wheel 6 notches") << 0 << 0 << 6 << QList<int>{2, 3, 4, 5, 6, 7};
}

void TstForm1Handlers::keysAndWheelDuringWorkCountOnceEach()
{
    QFETCH(int, from);
    QFETCH(int, key);
    QFETCH(int, presses);
    QFETCH(QList<int>, minutes);

    QVERIFY(userPick(ui->LstPuerto, 0));
    QByteArray expected = Sequence;
    if (from != 0) {
        QVERIFY(userPick(ui->LstMin, from));
        expected += minuteCommand(qint16(from + 1));
    }
    // During the start sequence and on into the picks it leaves waiting.
    ui->LstMin->setFocus();
    for (int i = 0; i < presses; ++i) {
        if (key) {
            QTest::keyClick(ui->LstMin, Qt::Key(key));
        } else {
            const QPointF at = ui->LstMin->rect().center();
            QWheelEvent notch(at, ui->LstMin->mapToGlobal(at), {}, {0, -120}, Qt::NoButton,
                              Qt::NoModifier, Qt::NoScrollPhase, false);
            QApplication::sendEvent(ui->LstMin, &notch);
        }
        QTest::qWait(100);
    }
    QVERIFY(busyShown());
    QVERIFY(waitIdle());
    for (int minute : std::as_const(minutes))
        expected += minuteCommand(qint16(minute));
    QCOMPARE(board1->received(), expected);
    QCOMPARE(ui->LstMin->currentText(), QString::number(minutes.last()));
    QCOMPARE(board1->normalReply().mid(2, 2), QByteArray::number(minutes.last()).rightJustified(2, '0'));
}

void TstForm1Handlers::everyPickAndButtonSendsItsCommand_data()
{
    QTest::addColumn<QString>("control");
    QTest::addColumn<int>("index");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("shown");

    QTest::newRow("minute 10") << "LstMin" << 9 << minuteCommand(10)
                               << QStringList{"OK", "10", "0", "Sec."};
    QTest::newRow("minute 1 again") << "LstMin" << 0 << minuteCommand(1)
                                    << QStringList{"OK", "01", "0", "Sec."};
    QTest::newRow("bit 7") << "LstBit" << 7 << bitCommand(7) << QStringList{"OK", "01", "7", "Sec."};
    QTest::newRow("Una") << "LstSec" << 0 << modeCommand(0) << QStringList{"OK", "01", "0", "One"};
    QTest::newRow("Sec. again") << "LstSec" << 1 << modeCommand(1)
                                << QStringList{"OK", "01", "0", "Sec."};
    QTest::newRow("Conectar") << "PbConectar" << -1 << QByteArray("I1")
                              << QStringList{"OK", "01", "0", "Sec."};
    QTest::newRow("Programar") << "PbProgramar" << -1 << QByteArray("I4")
                               << QStringList{"OK", "01", "0", "Sec."};
    QTest::newRow("Start") << "PbStart" << -1 << QByteArray("I8") << QStringList{"OK", "01", "0", "Sec."};
    QTest::newRow("Minutos") << "PbBorraMinutos" << -1 << QByteArray("I5")
                             << QStringList{"OK", "01", "0", "Sec."};
    QTest::newRow("Bit/Min") << "PbBorraBitMin" << -1 << QByteArray("I6")
                             << QStringList{"OK", "01", "0", "Sec."};
}

void TstForm1Handlers::everyPickAndButtonSendsItsCommand()
{
    QFETCH(QString, control);
    QFETCH(int, index);
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, shown);

    QVERIFY(userPick(ui->LstPuerto, 0));
    QVERIFY(waitIdle());
    board1->clearLog();

    QWidget *widget = ui->control(control);
    QVERIFY(widget);
    // Twice: a pick of the entry already picked is sent again.
    for (int round = 1; round <= 2; ++round) {
        if (auto *list = qobject_cast<QComboBox *>(widget))
            QVERIFY(userPick(list, index));
        else
            click(qobject_cast<QPushButton *>(widget));
        QVERIFY(waitIdle());
        QCOMPARE(board1->received().toHex(' '), bytes.repeated(round).toHex(' '));
        QCOMPARE(boxes(), shown);
    }
}

void TstForm1Handlers::keysPressTheFocusedButtonOnly_data()
{
    QTest::addColumn<QString>("control");
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("held");   // down for three auto-repeats before it comes up

    QTest::newRow("Return on Programar") << "PbProgramar" << int(Qt::Key_Return)
                                         << int(Qt::NoModifier) << programCommand() << false;
    QTest::newRow("keypad Enter on Start") << "PbStart" << int(Qt::Key_Enter)
                                           << int(Qt::KeypadModifier) << startCommand() << false;
    QTest::newRow("Space on Minutos") << "PbBorraMinutos" << int(Qt::Key_Space)
                                      << int(Qt::NoModifier) << eraseMinutesCommand() << false;
    // In a list Return picks nothing new and presses no button.
    QTest::newRow("Return on a list") << "LstBit" << int(Qt::Key_Return) << int(Qt::NoModifier)
                                      << QByteArray() << false;
    QTest::newRow("Ctrl+Return on Conectar") << "PbConectar" << int(Qt::Key_Return)
                                             << int(Qt::ControlModifier) << QByteArray() << false;
    // Held down, it presses once, as Space does.
    QTest::newRow("Return held on Programar") << "PbProgramar" << int(Qt::Key_Return)
                                              << int(Qt::NoModifier) << programCommand() << true;
}

void TstForm1Handlers::keysPressTheFocusedButtonOnly()
{
    QFETCH(QString, control);
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QFETCH(QByteArray, bytes);
    QFETCH(bool, held);

    QVERIFY(userPick(ui->LstPuerto, 0));
    QVERIFY(waitIdle());
    board1->clearLog();
    form->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(form));
    QWidget *widget = ui->control(control);
    widget->setFocus();
    QTRY_COMPARE(QApplication::focusWidget(), widget);

    if (held) {
        for (const bool repeat : {false, true, true, true}) {
            QKeyEvent press(QEvent::KeyPress, key, Qt::KeyboardModifiers(modifiers), QString(), repeat);
            QApplication::sendEvent(widget, &press);
        }
        QTest::keyRelease(widget, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
    } else {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key(key), Qt::KeyboardModifiers(modifiers));
    }
    QVERIFY(waitIdle());
    QTest::qWait(50);
    QCOMPARE(board1->received(), bytes);
    QCOMPARE(QApplication::focusWidget(), widget);
    QCOMPARE(lists(), (QStringList{"Com1", "1", "0", "Sec."}));
}

void TstForm1Handlers::replyIsToldToScreenReaders_data()
{
    QTest::addColumn<bool>("silent");
    QTest::addColumn<QString>("told");
    QTest::newRow("a reply") << false << "Estado: RX OK, Min 01, Bit 0, Ejecutar Sec.";
    // The blank boxes are left out.
    QTest::newRow("a time-out") << true << "Estado: RX NO";
}

// The "Estado" caption is, for screen readers, a notification of what the
// boxes show, made anew when the work asked for is done (the bus test counts
// how often it is shown).
void TstForm1Handlers::replyIsToldToScreenReaders()
{
    QFETCH(bool, silent);
    QFETCH(QString, told);
    QAccessibleInterface *notice =
        QAccessible::queryAccessibleInterface(ui->control(QStringLiteral("Label10")));
    QVERIFY(notice);
    QCOMPARE(notice->role(), QAccessible::Notification);
    QCOMPARE(notice->text(QAccessible::Name), QStringLiteral("Estado"));

    board1->setSilent(silent);
    QVERIFY(userPick(ui->LstPuerto, 0));
    QVERIFY(busyShown());
    QCOMPARE(notice->text(QAccessible::Name), QStringLiteral("Estado"));
    QVERIFY(waitIdle());
    QCOMPARE(notice->text(QAccessible::Name), told);
}

void TstForm1Handlers::actionsDuringAWaitRunLaterInOrder()
{
    board1->setReplyDelay(60);
    QList<Clock::time_point> finishedAt;
    const LineTap trace([&finishedAt](const QString &event) {
        if (LineTap::endsAnExchange(event))
            finishedAt.append(Clock::now());
    });

    QVERIFY(userPick(ui->LstPuerto, 0));
    QVERIFY(busyShown());
    // All made while the start sequence is still under way.
    QVERIFY(userPick(ui->LstMin, 4));
    QVERIFY(userPick(ui->LstBit, 3));
    click(ui->PbProgramar);
    QVERIFY(userPick(ui->LstPuerto, 1));
    QVERIFY(userPick(ui->LstMin, 7));
    click(ui->PbStart);
    QVERIFY(busyShown());
    QCOMPARE(form->cursor().shape(), Qt::BusyCursor);
    QVERIFY(waitIdle());
    QCOMPARE(form->cursor().shape(), Qt::ArrowCursor);

    QCOMPARE(board1->received(), Sequence + minuteCommand(5) + bitCommand(3) + programCommand());
    QCOMPARE(board2->received(), Sequence + minuteCommand(8) + startCommand());
    // Never two at once: each command reached its board after the previous wait ended.
    QList<Clock::time_point> sent;
    for (const auto &c : board1->commands())
        sent.append(c.at);
    for (const auto &c : board2->commands())
        sent.append(c.at);
    QCOMPARE(sent.size(), finishedAt.size());
    for (int i = 1; i < sent.size(); ++i)
        QVERIFY(sent[i] >= finishedAt[i - 1]);
    QCOMPARE(lists(), (QStringList{"Com2", "8", "0", "Sec."}));
    QCOMPARE(board2->normalReply().mid(2, 2), QByteArray("08"));
}

void TstForm1Handlers::salirEndsAtOnce_data()
{
    QTest::addColumn<bool>("withPort");
    QTest::newRow("no port picked") << false;
    QTest::newRow("in the middle of a wait, work queued") << true;
}

void TstForm1Handlers::salirEndsAtOnce()
{
    QFETCH(bool, withPort);
    QSignalSpy quit(form, &Form1::quitRequested);
    QSignalSpy reported(form, &Form1::reported);
    if (withPort) {
        board1->setSilent(true);
        QVERIFY(userPick(ui->LstPuerto, 0));
        click(ui->PbProgramar);
        QTRY_COMPARE(board1->received(), minuteCommand(1));
        QVERIFY(busyShown());
    }
    click(ui->PbSalir);
    QCOMPARE(quit.size(), 1);
    QCOMPARE(quit.first().first().toInt(), 0);
    QVERIFY(!channel->isOpen());
    QVERIFY(!busyShown());
    const QByteArray sent = board1->received();
    QTest::qWait(500);
    QCOMPARE(board1->received(), sent);   // nothing after Salir
    QCOMPARE(sent, withPort ? minuteCommand(1) : QByteArray());
    QCOMPARE(reported.size(), 0);
}

void TstForm1Handlers::closingTheWindowReleasesThePort()
{
    board1->setSilent(true);
    QVERIFY(userPick(ui->LstPuerto, 0));
    click(ui->PbStart);
    QVERIFY(busyShown());
    QVERIFY(form->close());   // never refused, even during a wait
    QVERIFY(!form->isVisible());
    QVERIFY(!channel->isOpen());
    QTest::qWait(400);
    QCOMPARE(board1->received(), minuteCommand(1));
    PortMap map;
    map.setDevice(1, board1->devicePath());
    QtSerialChannel other(map);
    QVERIFY(other.open());
}

void TstForm1Handlers::missingPortIsReportedAndWindowStaysUsable()
{
    PortMap ports;
    ports.setDevice(1, QStringLiteral("/dev/programador-missing"));
    ports.setDevice(2, board2->devicePath());
    QVERIFY(rebuildForm(ports));
    QSignalSpy reported(form, &Form1::reported);

    QVERIFY(userPick(ui->LstPuerto, 0));
    QCOMPARE(reported.size(), 1);
    const QString message = reported.first().first().toString();
    for (const char *words : {"Com1", "/dev/programador-missing", "no such device",
                              "programador --com1 DEVICE\n", "~/.local/share/applications",
                              "Exec line"})
        QVERIFY2(message.contains(QLatin1String(words)), qPrintable(message));
    optionLinesFitTheBox(form);
    if (QTest::currentTestFailed())
        return;
    QVERIFY(message.contains(QLatin1String("Serial ports on this system"))
            || message.contains(QLatin1String("shows no serial ports")));
    QVERIFY(!channel->isOpen());
    QVERIFY(!busyShown());
    // The sequence stopped at the open, and the port list shows no port.
    QCOMPARE(lists(), (QStringList{"", "", "", ""}));

    QVERIFY(userPick(ui->LstPuerto, 1));
    QVERIFY(waitIdle());
    QCOMPARE(board2->received(), Sequence);
    QCOMPARE(reported.size(), 1);

    // In Spanish, with the translations the program installs: the channel's
    // sentence and the window's, each translated whole.
    Translations spanish(QLocale(QLocale::Spanish, QLocale::Spain));
    spanish.install();
    QVERIFY(userPick(ui->LstPuerto, 0));
    QCOMPARE(reported.size(), 2);
    const QString spanishMessage = reported.last().first().toString();
    for (const char *words : {"No se puede abrir Com1 (/dev/programador-missing): no existe ese "
                              "dispositivo", "programador --com1 DISPOSITIVO\n", "línea Exec"})
        QVERIFY2(spanishMessage.contains(QString::fromUtf8(words)), qPrintable(spanishMessage));
    optionLinesFitTheBox(form);
    if (QTest::currentTestFailed())
        return;
    QVERIFY(spanishMessage.contains(QLatin1String("Puertos serie de este sistema"))
            || spanishMessage.contains(QString::fromUtf8("no muestra ningún puerto serie")));
}

void TstForm1Handlers::commandWithNoPortIsReported()
{
    QSignalSpy reported(form, &Form1::reported);
    click(ui->PbProgramar);
    QVERIFY(userPick(ui->LstMin, 2));
    QCOMPARE(reported.size(), 2);
    QVERIFY(reported.last().at(0).toString().contains(QLatin1String("pick Com1 or Com2 first")));
    QCOMPARE(boxes(), (QStringList{"", "", "", ""}));
    QVERIFY(!busyShown());

    // Boxes keep what they showed when a later command is refused.
    QVERIFY(userPick(ui->LstPuerto, 0));
    QVERIFY(waitIdle());
    channel->close();
    click(ui->PbStart);
    QCOMPARE(reported.size(), 3);
    QCOMPARE(boxes(), (QStringList{"OK", "01", "0", "Sec."}));
    QCOMPARE(board1->received(), Sequence);
}

void TstForm1Handlers::lostPortIsReportedOnceAndQueueDropped()
{
    QVERIFY(userPick(ui->LstPuerto, 0));
    QVERIFY(waitIdle());
    board1->setSilent(true);
    click(ui->PbProgramar);
    click(ui->PbStart);
    QVERIFY(userPick(ui->LstMin, 3));
    QSignalSpy reported(form, &Form1::reported);
    board1->hangUp();
    QVERIFY(reported.wait(SequenceLimitMs));
    QVERIFY(waitIdle());
    QTest::qWait(300);
    QCOMPARE(reported.size(), 1);
    // What happened, then what to do.
    QVERIFY(reported.first().first().toString().contains(
        QRegularExpression(QStringLiteral("^Lost the connection on Com1 .*\\n\\n.*pick a port to connect again"))));
    QVERIFY(!channel->isOpen());
    QCOMPARE(ui->LstPuerto->currentIndex(), -1);

    // Still usable: the other port works.
    QVERIFY(userPick(ui->LstPuerto, 1));
    QVERIFY(waitIdle());
    QCOMPARE(board2->received(), Sequence);
    QCOMPARE(reported.size(), 1);

}

void TstForm1Handlers::permissionAdviceFitsTheDevicesGroup_data()
{
    QTest::addColumn<QString>("group");
    QTest::addColumn<bool>("groupMayOpen");
    QTest::addColumn<QString>("join");   // the group to join, or empty: a udev rule

    QTest::newRow("dialout, read and write") << "dialout" << true << "dialout";
    QTest::newRow("uucp, read and write") << "uucp" << true << "uucp";
    QTest::newRow("root's group") << "root" << true << "";
    QTest::newRow("group unknown") << "" << false << "";
    QTest::newRow("dialout, no access") << "dialout" << false << "";
}

void TstForm1Handlers::permissionAdviceFitsTheDevicesGroup()
{
    QFETCH(QString, group);
    QFETCH(bool, groupMayOpen);
    QFETCH(QString, join);

    const QString advice = PortAdvice::permissionDenied(group, groupMayOpen);
    if (join.isEmpty()) {
        QVERIFY2(!advice.contains(QLatin1String("usermod")), qPrintable(advice));
        QVERIFY2(advice.contains(QLatin1String("TAG+=\"uaccess\"")), qPrintable(advice));
        QVERIFY2(advice.contains(QLatin1String("man programador")), qPrintable(advice));
    } else {
        // On a line of its own, to copy whole.
        QVERIFY2(advice.contains(QStringLiteral("\n    sudo usermod -aG %1 $USER\n").arg(join)),
                 qPrintable(advice));
        QVERIFY2(!advice.contains(QLatin1String("udev")), qPrintable(advice));
    }
    if (!group.isEmpty())
        QVERIFY2(advice.contains(group), qPrintable(advice));

    // For a device, the advice follows its group's own permissions; root's
    // group gets the same advice either way, so the device is dialout's.
    QTemporaryFile device;
    QVERIFY(device.open());
    if (QFileInfo(device).groupId() == 0) {
        const struct group *dialout = getgrnam("dialout");
        if (!dialout || fchown(device.handle(), uid_t(-1), dialout->gr_gid) != 0)
            QSKIP("the test file cannot be given to a group other than root's");
    }
    const QFile::Permissions owner = QFile::ReadOwner | QFile::WriteOwner;
    for (const QFile::Permissions mode : {owner, owner | QFile::ReadGroup | QFile::WriteGroup}) {
        QVERIFY(device.setPermissions(mode));
        QCOMPARE(PortAdvice::forFailure(SerialChannel::Failure::PermissionDenied, device.fileName()),
                 PortAdvice::permissionDenied(QFileInfo(device).group(), mode != owner));
    }
}

void TstForm1Handlers::windowsAdviceSpeaksWindows_data()
{
    QTest::addColumn<SerialChannel::Failure>("failure");
    QTest::addColumn<QStringList>("advice");

    QTest::newRow("no such port") << SerialChannel::Failure::NoSuchDevice
                                  << QStringList{"Device Manager", "\"Ports (COM & LPT)\"", "driver"};
    QTest::newRow("adapter not working") << SerialChannel::Failure::Other
                                         << QStringList{"USB adapter", "driver"};
}

void TstForm1Handlers::windowsAdviceSpeaksWindows()
{
    QFETCH(SerialChannel::Failure, failure);
    QFETCH(QStringList, advice);

    const QString words = PortAdvice::onWindows(failure);
    for (const QString &expected : std::as_const(advice))
        QVERIFY2(words.contains(expected), qPrintable(words));
    // Nothing of Unix.
    for (const char *word : {"/dev", "dialout", "udev", "sudo", "root", "group"})
        QVERIFY2(!words.contains(QLatin1String(word)), qPrintable(words));
}

QTEST_MAIN(TstForm1Handlers)
#include "tst_form1_handlers.moc"
