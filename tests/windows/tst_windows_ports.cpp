// Com1 and Com2 on Windows, under Wine. The test run's Wine prefix has a COM1
// (run_under_wine.sh --fresh-prefix) and nothing behind COM2.
#include "port_list.h"
#include "port_map.h"
#include "qt_serial_channel.h"

#include <QSignalSpy>
#include <QTest>

#include <algorithm>

#include <windows.h>

using Failure = SerialChannel::Failure;

class TstWindowsPorts : public QObject
{
    Q_OBJECT

private slots:
    void comEntriesAreTheSystemsComPorts();
    void portListMarksComEntries();
    void missingComPortIsNamed();
    void lossIsToldInWindowsWords_data();
    void lossIsToldInWindowsWords();
};

void TstWindowsPorts::comEntriesAreTheSystemsComPorts()
{
    // Whatever the system lists, and in whatever order: Com1 is COM1, Com2 is COM2.
    PortMap ports;
    ports.setLister([] { return QStringList{QStringLiteral("COM3"), QStringLiteral("COM1")}; });
    QCOMPARE(ports.device(1), QStringLiteral("COM1"));
    QCOMPARE(ports.device(2), QStringLiteral("COM2"));
    // --com2 COM5 still puts another port behind an entry.
    ports.setDevice(2, QStringLiteral("COM5"));
    QCOMPARE(ports.device(2), QStringLiteral("COM5"));
}

void TstWindowsPorts::portListMarksComEntries()
{
    // The list a user is shown names ports the Windows way and marks the one behind Com1.
    const QStringList lines = PortList::describe(PortMap());
    const auto com1 = std::find_if(lines.begin(), lines.end(), [](const QString &line) {
        return line.contains(QLatin1String("COM1"));
    });
    QVERIFY2(com1 != lines.end(), qPrintable(lines.join(QLatin1Char('\n'))));
    QVERIFY2(com1->startsWith(QLatin1String("Com1  COM1")), qPrintable(*com1));
    for (const QString &line : lines)
        QVERIFY2(!line.contains(QLatin1String("\\\\.\\")), qPrintable(line));
}

void TstWindowsPorts::missingComPortIsNamed()
{
    // Under Wine a port switched off still opens and then fails to set up, so
    // only the name is pinned for COM2; a port the system has not at all
    // (COM9 here, as if given with --com2) is reported as missing.
    for (const QString &device : {QString(), QStringLiteral("COM9")}) {
        PortMap ports;
        if (!device.isEmpty())
            ports.setDevice(2, device);
        QtSerialChannel serie(ports);
        serie.setPortNumber(2);
        QSignalSpy errors(&serie, &SerialChannel::errorOccurred);
        QVERIFY(!serie.open());
        QCOMPARE(errors.size(), 1);
        const QString message = errors.first().at(1).toString();
        QVERIFY2(message.contains(device.isEmpty() ? QLatin1String("COM2") : QLatin1String("COM9")),
                 qPrintable(message));
        if (!device.isEmpty())
            QVERIFY2(errors.first().at(0).value<Failure>() == Failure::NoSuchDevice, qPrintable(message));
    }
}

void TstWindowsPorts::lossIsToldInWindowsWords_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<bool>("shown");

    // Words that only say the device is gone add nothing to "went away".
    QTest::newRow("broken pipe") << int(ERROR_BROKEN_PIPE) << false;
    QTest::newRow("not ready") << int(ERROR_NOT_READY) << false;
    QTest::newRow("not connected") << int(ERROR_DEVICE_NOT_CONNECTED) << false;
    QTest::newRow("access denied") << int(ERROR_ACCESS_DENIED) << true;
}

void TstWindowsPorts::lossIsToldInWindowsWords()
{
    QFETCH(int, code);
    QFETCH(bool, shown);

    const QString words = qt_error_string(code);
    const QString message = QtSerialChannel::lostMessage(1, QStringLiteral("COM1"), words);
    const QString gone = QStringLiteral("Lost the connection on Com1 (COM1): the device went away");
    if (!shown) {
        QCOMPARE(message, gone + u'.');
        return;
    }
    // Windows ends its words with a full stop (and a line end): one full stop, ours.
    QVERIFY2(message.startsWith(gone + QStringLiteral(" (")), qPrintable(message));
    QVERIFY2(message.endsWith(QLatin1String(").")) && !message.contains(QLatin1String(".)")),
             qPrintable(message));
    QVERIFY2(!message.contains(u'\n') && !message.contains(u'\r'), qPrintable(message));
}

QTEST_GUILESS_MAIN(TstWindowsPorts)
#include "tst_windows_ports.moc"
