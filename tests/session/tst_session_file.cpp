#include "session_file.h"

#include <QTest>

using SessionFile::Step;

class TestSessionFile : public QObject
{
    Q_OBJECT

    // "line asked command" per exchange, "line open N" per port opening.
    static QStringList shape(const QList<Step> &steps)
    {
        QStringList out;
        for (const Step &s : steps) {
            out << (s.port ? QStringLiteral("%1 open %2").arg(s.line).arg(s.port)
                           : QStringLiteral("%1 %2 [%3]").arg(s.line).arg(s.asked,
                                                                     QString::fromLatin1(s.command)));
        }
        return out;
    }

private slots:
    // A port stands for the whole port pick, a schedule line for the steps a
    // person takes; both vocabularies, any case, comments, CRLF and a BOM.
    void stepsAsAPersonTakesThem()
    {
        const QByteArray text = "\xEF\xBB\xBF# bench board\r\n"
                                "cOM2   # the second port\r\n"
                                "\r\n"
                                "minute 3 BITS 0 5\r\n"
                                "Ejecutar Sec\r\n"
                                "mode once\n"
                                "Bit/Min\n"
                                "erase-minute\n"
                                "Conectar\n"
                                "start";
        SessionFile::Mistake mistake;
        const auto steps = SessionFile::parse(text, &mistake);
        QVERIFY2(steps, qPrintable(mistake.what));
        QCOMPARE(shape(*steps), QStringList({
                                    "2 open 2",
                                    "2 Com2 [I2P  1 ]",
                                    "2 Com2 [I3P  0 ]",
                                    "2 Com2 [I7P  1 ]",
                                    "2 Com2 [I1]",
                                    "4 Min 3 [I2P  3 ]",
                                    "4 Bit 0 [I3P  0 ]",
                                    "4 Programar [I4]",
                                    "4 Bit 5 [I3P  5 ]",
                                    "4 Programar [I4]",
                                    "5 Ejecutar Sec. [I7P  1 ]",
                                    "6 Ejecutar Una [I7P  0 ]",
                                    "7 Bit/Min [I6]",
                                    "8 Minutos [I5]",
                                    "9 Conectar [I1]",
                                    "10 Start [I8]",
                                }));
        QCOMPARE(SessionFile::exchangeCount(*steps), 15);
        // What each reply must carry.
        QCOMPARE(steps->at(5).field, SessionFile::Field::Minute);
        QCOMPARE(steps->at(5).value, qint16(3));
        QCOMPARE(steps->at(8).field, SessionFile::Field::Bit);
        QCOMPARE(steps->at(8).value, qint16(5));
        QCOMPARE(steps->at(11).field, SessionFile::Field::Mode);
        QCOMPARE(steps->at(11).value, qint16(0));
        QCOMPARE(steps->at(12).field, SessionFile::Field::None);
    }

    // A byte-order mark before the first step, as Windows editors save it.
    void aByteOrderMarkBeforeAStep()
    {
        SessionFile::Mistake mistake;
        const auto steps = SessionFile::parse("\xEF\xBB\xBF" "Com1\r\nStart\r\n", &mistake);
        QVERIFY2(steps, qPrintable(mistake.what));
        QCOMPARE(steps->first().port, qint16(1));
    }

    // Every wrong line at once, in file order, one mistake a line; commands
    // before any port are said once; past twenty, how many more.
    void everyMistakeAtOnce()
    {
        SessionFile::Mistakes mistakes;
        QVERIFY(!SessionFile::parse("Min 3\nBit 2\nCom1\nProgramr\nMin 11 Bits 1\nBit 8 9\n", &mistakes));
        QCOMPARE(SessionFile::describe(QStringLiteral("b.txt"), mistakes).split(u'\n').size(), 4);
        QStringList places;
        for (const SessionFile::Mistake &m : std::as_const(mistakes.listed))
            places << QStringLiteral("%1:%2").arg(m.line).arg(m.column);
        QCOMPARE(places, QStringList({"1:1", "4:1", "5:5", "6:5"}));
        QVERIFY(mistakes.listed.at(0).what.contains(QLatin1String("before any port")));
        QCOMPARE(mistakes.more, 0);

        QVERIFY(!SessionFile::parse("Com1\n" + QByteArray("Bit 9\n").repeated(25), &mistakes));
        const QStringList said = SessionFile::describe(QStringLiteral("b.txt"), mistakes).split(u'\n');
        QCOMPARE(said.size(), SessionFile::MaxMistakes + 1);
        QCOMPARE(said.first(), QStringLiteral("b.txt:2:5: '9' is not a bit from 0 to 7"));
        QVERIFY2(said.at(19).startsWith(QLatin1String("b.txt:21:5: ")), qPrintable(said.at(19)));
        QCOMPARE(said.last(), QStringLiteral("b.txt: and 5 more"));
        // A file that is no session file at all is that one mistake.
        QVERIFY(!SessionFile::parse("Com1\nMi\xff\nBit 9\n", &mistakes));
        QCOMPARE(SessionFile::describe(QStringLiteral("b.txt"), mistakes),
                 QStringLiteral("b.txt:2:3: not a text file: byte 0xff"));
    }

    // From its line on, and only from there.
    void expectHoldsFromItsLineOn()
    {
        SessionFile::Mistake mistake;
        const auto steps = SessionFile::parse("Com1\nexpect OK Ok\nMin 2\nexpect any\nStart\n", &mistake);
        QVERIFY2(steps, qPrintable(mistake.what));
        QVERIFY(steps->at(4).codes.isEmpty());   // the port pick's Conectar
        QCOMPARE(steps->at(5).codes, QStringList({"OK", "Ok"}));
        QVERIFY(steps->at(6).codes.isEmpty());
    }

    void mistakesNameLineAndColumn_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<int>("line");
        QTest::addColumn<int>("column");
        QTest::addColumn<QString>("says");
        QTest::newRow("unknown word") << QByteArray("Com1\n  Programa\n") << 2 << 3 << "expected one of: Com1, Com2";
        QTest::newRow("minute 11") << QByteArray("Com1\nMin 11\n") << 2 << 5 << "a minute from 1 to 10";
        QTest::newRow("minute 0") << QByteArray("Com1\nminute 0\n") << 2 << 8 << "a minute from 1 to 10";
        QTest::newRow("no minute") << QByteArray("Com1\nMin\n") << 2 << 4 << "Min needs a minute";
        QTest::newRow("bit 8") << QByteArray("Com1\nBit 8\n") << 2 << 5 << "a bit from 0 to 7";
        QTest::newRow("bit in a schedule") << QByteArray("Com1\nMin 2 Bits 1 8\n") << 2 << 14 << "a bit from 0 to 7";
        QTest::newRow("schedule without bits") << QByteArray("Com1\nMin 2 Bits\n") << 2 << 11 << "Bits needs a bit";
        QTest::newRow("not Bits") << QByteArray("Com1\nMin 2 Bit 1\n") << 2 << 7 << "expected Bits or the end";
        QTest::newRow("mode") << QByteArray("Com1\nEjecutar Dos\n") << 2 << 10 << "a mode: Una or Sec.";
        QTest::newRow("words after a step") << QByteArray("Com1\nProgramar ya\n") << 2 << 11 << "expected the end of the line";
        QTest::newRow("no port first") << QByteArray("# set up\nMin 3\nCom1\n") << 2 << 1 << "before any port";
        QTest::newRow("code of three") << QByteArray("expect OKK\nCom1\n") << 1 << 8 << "status codes of two characters";
        QTest::newRow("nul byte") << QByteArray("Com1\nMi\0n 3\n", 12) << 2 << 3 << "not a text file: byte 0x00";
        QTest::newRow("not UTF-8") << QByteArray("Com1\nMín\xff 3\n") << 2 << 4 << "not a text file: byte 0xff";
        QTest::newRow("a line of a megabyte") << QByteArray("Com1\n") + QByteArray(1000, ' ') + "#\n" << 2 << 1001 << "longer than 1000";
        QTest::newRow("only comments") << QByteArray("# nothing\n\n") << 0 << 0 << "no steps";
        QTest::newRow("over 1 MiB") << QByteArray(SessionFile::MaxFileSize + 1, '\n') << 0 << 0 << "larger than 1 MiB";
    }

    void mistakesNameLineAndColumn()
    {
        QFETCH(QByteArray, text);
        QFETCH(QString, says);
        SessionFile::Mistake mistake;
        QVERIFY(!SessionFile::parse(text, &mistake));
        QVERIFY2(mistake.what.contains(says), qPrintable(mistake.what));
        QTEST(mistake.line, "line");
        QTEST(mistake.column, "column");
    }
};

QTEST_GUILESS_MAIN(TestSessionFile)
#include "tst_session_file.moc"
