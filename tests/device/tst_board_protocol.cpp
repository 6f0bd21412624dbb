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
    void fieldValues_data();
    void fieldValues();
};

// How a reply's mode reads where people see it.
static QString shownMode(const ReplyFields &fields)
{
    const std::optional<qint16> mode = fields.valueOf(Field::Mode);
    return mode ? modeName(*mode) : QString();
}

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
    // A port pick brings the board to minute 1, bit 0, Sec., then connects.
    QByteArray pick;
    for (const Command &c : portPickCommands())
        pick += c.bytes;
    QTest::newRow("port pick") << pick
        << hex("49 32 50 20 20 31 20  49 33 50 20 20 30 20  49 37 50 20 20 31 20  49 31");
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
    const ReplyFields fields = decodeReply(reply);
    QTEST(fields.code, "rx");
    QTEST(fields.minute, "min");
    QTEST(fields.bit, "bit");
    QTEST(shownMode(fields), "ejecutar");
}

void TstBoardProtocol::everyByteValueSurvivesDecoding()
{
    // Each byte must come out as the one character of the same code: no UTF-8
    // decoding that would merge or replace high bytes.
    for (int b = 0; b < 256; ++b) {
        const QByteArray reply = QByteArray(5, char(b)) + '1';
        const ReplyFields fields = decodeReply(reply);
        const QString two(2, QChar(b));
        QCOMPARE(fields.code, two);
        QCOMPARE(fields.minute, two);
        QCOMPARE(fields.bit, QString(QChar(b)));
        QCOMPARE(shownMode(fields), QStringLiteral("Sec."));
    }
}

// What a check reads in the fields: a number however the board pads it,
// and nothing where there is none.
void TstBoardProtocol::fieldValues_data()
{
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<int>("minute");   // -1: none
    QTest::addColumn<int>("bit");
    QTest::addColumn<int>("mode");
    QTest::newRow("zero padded") << QByteArray("OK0351") << 3 << 5 << 1;
    QTest::newRow("space padded") << QByteArray("OK 300") << 3 << 0 << 0;
    QTest::newRow("one digit") << QByteArray("OK3 7") << 3 << 7 << -1;
    QTest::newRow("two digits") << QByteArray("OK1001") << 10 << 0 << 1;
    QTest::newRow("not numbers") << QByteArray("OK0Ax2") << -1 << -1 << -1;
    QTest::newRow("time-out marker") << QByteArray(TimeoutMarker) << -1 << -1 << -1;
    QTest::newRow("short") << QByteArray("OK") << -1 << -1 << -1;
}

void TstBoardProtocol::fieldValues()
{
    QFETCH(QByteArray, reply);
    const ReplyFields fields = decodeReply(reply);
    const auto value = [&fields](Field f) { return int(fields.valueOf(f).value_or(-1)); };
    QTEST(value(Field::Minute), "minute");
    QTEST(value(Field::Bit), "bit");
    QTEST(value(Field::Mode), "mode");
    QVERIFY(!fields.valueOf(Field::None));
}

QTEST_GUILESS_MAIN(TstBoardProtocol)
#include "tst_board_protocol.moc"
