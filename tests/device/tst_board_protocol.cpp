#include "board_protocol.h"

#include <QTest>

using namespace BoardProtocol;

class TstBoardProtocol : public QObject
{
    Q_OBJECT

private slots:
    void commandBytes_data();
    void commandBytes();
    void replyDecoding_data();
    void replyDecoding();
    void everyByteValueSurvivesDecoding();
};

static QByteArray hex(const char *spaced)
{
    return QByteArray::fromHex(QByteArray(spaced).replace(' ', ""));
}

void TstBoardProtocol::commandBytes_data()
{
    QTest::addColumn<QByteArray>("command");
    QTest::addColumn<QByteArray>("bytes");

    QTest::newRow("connect") << connectCommand() << hex("49 31");
    QTest::newRow("program") << programCommand() << hex("49 34");
    QTest::newRow("erase minutes") << eraseMinutesCommand() << hex("49 35");
    QTest::newRow("erase bit/min") << eraseBitMinuteCommand() << hex("49 36");
    QTest::newRow("start") << startCommand() << hex("49 38");
    QTest::newRow("minute 1") << minuteCommand(1) << hex("49 32 50 20 20 31 20");
    QTest::newRow("minute 10") << minuteCommand(10) << hex("49 32 50 20 20 31 30 20");
    QTest::newRow("bit 0") << bitCommand(0) << hex("49 33 50 20 20 30 20");
    QTest::newRow("bit 7") << bitCommand(7) << hex("49 33 50 20 20 37 20");
    QTest::newRow("mode 0") << modeCommand(0) << hex("49 37 50 20 20 30 20");
    QTest::newRow("mode 1") << modeCommand(1) << hex("49 37 50 20 20 31 20");
    // Never sent by the window, but the sign position must hold a minus.
    QTest::newRow("negative") << minuteCommand(-3) << QByteArray("I2P -3 ");
    QTest::newRow("largest") << bitCommand(32767) << QByteArray("I3P  32767 ");
    QTest::newRow("smallest") << bitCommand(-32768) << QByteArray("I3P -32768 ");
}

void TstBoardProtocol::commandBytes()
{
    QFETCH(QByteArray, command);
    QFETCH(QByteArray, bytes);
    QCOMPARE(command.toHex(' '), bytes.toHex(' '));
}

void TstBoardProtocol::replyDecoding_data()
{
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<QString>("rx");
    QTest::addColumn<QString>("min");
    QTest::addColumn<QString>("bit");
    QTest::addColumn<QString>("ejecutar");

    QTest::newRow("sequence") << QByteArray("AB0231") << "AB" << "02" << "3" << "Sec.";
    QTest::newRow("once") << QByteArray("AB0230") << "AB" << "02" << "3" << "One";
    QTest::newRow("other mode") << QByteArray("AB0237") << "AB" << "02" << "3" << "";
    QTest::newRow("lower-case or space") << QByteArray("ok10 ") << "ok" << "10" << " " << "";
    QTest::newRow("eight characters") << QByteArray("OK1001ZZ") << "OK" << "10" << "0" << "Sec.";
    QTest::newRow("two characters") << QByteArray("OK") << "OK" << "" << "" << "";
    QTest::newRow("three characters") << QByteArray("OK1") << "OK" << "1" << "" << "";
    QTest::newRow("five characters") << QByteArray("OK107") << "OK" << "10" << "7" << "";
    QTest::newRow("one character") << QByteArray("O") << "O" << "" << "" << "";
    QTest::newRow("empty") << QByteArray() << "" << "" << "" << "";
    QTest::newRow("time-out marker") << QByteArray(TimeoutMarker) << "NO" << "  " << " " << "";
    QTest::newRow("markup stays text") << QByteArray("<b>x01") << "<b" << ">x" << "0" << "Sec.";
    QTest::newRow("mode digit is exact") << QByteArray("OK0102") << "OK" << "01" << "0" << "";
}

void TstBoardProtocol::replyDecoding()
{
    QFETCH(QByteArray, reply);
    const StatusFields fields = decodeReply(reply);
    QTEST(fields.LBRX, "rx");
    QTEST(fields.LbMin, "min");
    QTEST(fields.LbBit, "bit");
    QTEST(fields.LbEjecutar, "ejecutar");
}

void TstBoardProtocol::everyByteValueSurvivesDecoding()
{
    // Each byte must come out as the one character of the same code: no UTF-8
    // decoding that would merge or replace high bytes.
    for (int b = 0; b < 256; ++b) {
        const QByteArray reply = QByteArray(5, char(b)) + '1';
        const StatusFields fields = decodeReply(reply);
        const QString two(2, QChar(b));
        QCOMPARE(fields.LBRX, two);
        QCOMPARE(fields.LbMin, two);
        QCOMPARE(fields.LbBit, QString(QChar(b)));
        QCOMPARE(fields.LbEjecutar, QStringLiteral("Sec."));
    }
}

QTEST_GUILESS_MAIN(TstBoardProtocol)
#include "tst_board_protocol.moc"
