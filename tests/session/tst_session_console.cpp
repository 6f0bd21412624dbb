#include "session_console.h"
#include "translations.h"

#include <QTest>

using Session::Outcome;
using Verdict = ReplyCheck::Verdict;

// What a session tells people, from the values it is given: each exchange's
// line, the progress line and the words at the end.
class TestSessionConsole : public QObject
{
    Q_OBJECT

    QStringList out, err, progress;
    // The source language's own file: it holds the plurals of counts.
    Translations english{QLocale(QLocale::English)};

    SessionConsole console(qsizetype planned)
    {
        out.clear();
        err.clear();
        progress.clear();
        return SessionConsole({planned, 0.2 * double(planned)},
                              [this](const QString &l) { out << l; },
                              [this](const QString &l) { err << l; },
                              [this](const QString &l) { if (!l.isEmpty()) progress << l; });
    }

    static Session::Record record(double seconds, int line, const char *asked, const QByteArray &command,
                                  const QByteArray &reply, Verdict verdict, bool retrying = false)
    {
        Session::Record r;
        r.seconds = seconds;
        r.step.line = line;
        r.step.asked = QString::fromLatin1(asked);
        r.step.command = command;
        r.reply = reply;
        r.timedOut = verdict == Verdict::NoAnswer;
        r.result = {verdict, verdict == Verdict::Ok ? QString() : QStringLiteral("no answer")};
        r.retrying = retrying;
        return r;
    }

private slots:
    void initTestCase() { english.install(); }

    // A retry is no step of its own; the failure named is the last one,
    // with "nothing" for a board that said nothing.
    void aRetryThenAFailure()
    {
        SessionConsole c = console(3);
        c.started();
        c.exchanged(record(0.2, 2, "Min 3", "I2P  3 ", "OK0301", Verdict::Ok));
        c.exchanged(record(0.5, 3, "Bit 1", "I3P  1 ", "NO    ", Verdict::NoAnswer, true));
        c.exchanged(record(0.8, 3, "Bit 1", "I3P  1 ", "NO    ", Verdict::NoAnswer));
        Session::Summary summary{Outcome::CheckFailed, {}, {}, 3, 3, 1, 1, 0.8, 0.8, {}, 0, {}};
        summary.at = record(0, 3, "Bit 1", "", "", Verdict::Ok).step;
        c.finished(summary);

        QCOMPARE(progress, (QStringList{"step 1 of 3, about 1 s left",
                                        "step 2 of 3, about 0 s left",
                                        "step 2 of 3, about 1 s left",
                                        "step 3 of 3, about 0 s left"}));
        QCOMPARE(out.size(), 4);
        QCOMPARE(out.at(0), QStringLiteral(
            "   0.200  line 2     Min 3          \"I2P  3 \"  \"OK0301\"  ok"));
        QVERIFY2(out.at(1).endsWith(QLatin1String("no answer, sending it again")), qPrintable(out.at(1)));
        QVERIFY2(out.at(2).endsWith(QLatin1String("FAILED: no answer")), qPrintable(out.at(2)));
        QCOMPARE(out.at(3), QStringLiteral(
            "3 exchanges, 1 retry, 1 failure in 0.80 s (the protocol's floor for them: 0.80 s)"));
        QCOMPARE(err, QStringList{QStringLiteral(
            "Failed at line 3 (Bit 1): no answer. Sent \"I3P  1 \", the board answered nothing. "
            "Nothing more was sent; the port is closed.")});
    }

    // Stopped from outside or by the line: where, why, and how far it got.
    void endsOtherThanByTheFile_data()
    {
        QTest::addColumn<int>("outcome");
        QTest::addColumn<bool>("atAStep");
        QTest::addColumn<QString>("said");
        QTest::newRow("interrupted") << int(Outcome::Interrupted) << true
            << "Interrupted at line 4 (Min 5): told to stop. 2 of 6 exchanges were done; the port is closed.";
        QTest::newRow("interrupted at the end") << int(Outcome::Interrupted) << false
            << "Interrupted at the end: told to stop. 2 of 6 exchanges were done; the port is closed.";
        QTest::newRow("port lost") << int(Outcome::PortFailed) << true
            << "Stopped at line 4 (Min 5): told to stop Nothing more was sent; the port is closed.";
    }
    void endsOtherThanByTheFile()
    {
        QFETCH(int, outcome);
        QFETCH(bool, atAStep);
        QFETCH(QString, said);
        SessionConsole c = console(6);
        Session::Summary summary{Outcome(outcome), QStringLiteral("told to stop"), {}, 3, 6, 1, 0, 1.5, 0.6, {}, 0, {}};
        if (atAStep)
            summary.at = record(0, 4, "Min 5", "", "", Verdict::Ok).step;
        c.finished(summary);
        QCOMPARE(err, QStringList{said});
        QCOMPARE(out, QStringList{QStringLiteral(
            "3 exchanges, 1 retry, 0 failures in 1.50 s (the protocol's floor for them: 0.60 s)")});
    }

    // Quiet: nothing while it runs, then one line that names the board; the
    // last line also reaches a terminal that out's lines do not.
    void quietIsOneLinePerBoard_data()
    {
        QTest::addColumn<int>("outcome");
        QTest::addColumn<QString>("device");
        QTest::addColumn<QString>("said");
        QTest::newRow("passed") << int(Outcome::Done) << "/dev/ttyUSB1"
            << "Com2 (/dev/ttyUSB1): passed; 3 exchanges in 0.80 s";
        QTest::newRow("no answer") << int(Outcome::NoAnswer) << "/dev/ttyUSB1"
            << "Com2 (/dev/ttyUSB1): FAILED at line 3 (Bit 1): no answer; 3 exchanges in 0.80 s";
        QTest::newRow("busy, no device named") << int(Outcome::PortBusy) << ""
            << "Com2: STOPPED at line 3 (Bit 1): the device is busy; 3 exchanges in 0.80 s";
    }
    void quietIsOneLinePerBoard()
    {
        QFETCH(int, outcome);
        QFETCH(QString, device);
        QFETCH(QString, said);
        SessionConsole c = console(3);
        QStringList terminal;
        c.setQuiet(true);
        c.setTerminal([&terminal](const QString &l) { terminal << l; });
        c.started();
        c.exchanged(record(0.2, 2, "Min 3", "I2P  3 ", "OK0301", Verdict::Ok));
        c.exchanged(record(0.8, 3, "Bit 1", "I3P  1 ", "NO    ", Verdict::NoAnswer));
        Session::Summary summary{Outcome(outcome), QStringLiteral("the device is busy."), {}, 3, 3, 0, 1, 0.8, 0.6, {}, 0, {}};
        summary.at = record(0, 3, "Bit 1", "", "", Verdict::Ok).step;
        summary.port = 2;
        summary.device = device;
        c.finished(summary);
        QCOMPARE(out, QStringList{said});
        QCOMPARE(terminal, out);
        QVERIFY(err.isEmpty());
        QVERIFY(progress.isEmpty());
    }

    // Done with every step, the progress says the last, not one past it; a
    // backslash from the board is doubled, so "\x41" it sent is not read as
    // a byte escaped.
    void theLastStepAndABackslash()
    {
        SessionConsole c = console(2);
        c.exchanged(record(0.2, 2, "Min 3", "I2P  3 ", "OK0301", Verdict::Ok));
        c.exchanged(record(0.4, 3, "Start", "I8", "\\x41\x01", Verdict::Ok));
        QCOMPARE(progress.last(), QStringLiteral("step 2 of 2, about 0 s left"));
        QVERIFY2(out.last().contains(QLatin1String(R"("\\x41\x01")")), qPrintable(out.last()));
    }

    // The floor named is the one of the pace the session kept; one of a
    // count is said in the singular.
    void theFloorOfThePace()
    {
        Session::Summary summary{Outcome::Done, {}, {}, 1, 1, 0, 0, 0.15, 0.07, {}, 0, {}};
        summary.pace = DeviceDialogue::Pace::Line;
        QCOMPARE(SessionConsole::summaryLine(summary), QStringLiteral(
            "1 exchange, 0 retries, 0 failures in 0.15 s (the line's floor for them: 0.07 s)"));
    }
};

QTEST_GUILESS_MAIN(TestSessionConsole)
#include "tst_session_console.moc"
