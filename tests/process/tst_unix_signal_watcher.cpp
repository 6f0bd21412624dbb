// The signal watcher: SIGTERM and SIGHUP as its Qt signal, one watcher at a
// time, and the handlers it found back once it goes.
#include "unix_signal_watcher.h"

#include <QRegularExpression>
#include <QSignalSpy>
#include <QTest>

#include <csignal>

namespace {

constexpr int Watched[] = {SIGINT, SIGTERM, SIGHUP};

volatile std::sig_atomic_t s_caught = 0;

extern "C" void caught(int number)
{
    s_caught = number;
}

} // namespace

class TstUnixSignalWatcher : public QObject
{
    Q_OBJECT

private slots:
    void watchesOneAtATimeAndGivesBackWhatItFound();
};

void TstUnixSignalWatcher::watchesOneAtATimeAndGivesBackWhatItFound()
{
    struct sigaction mine = {};
    mine.sa_handler = caught;
    sigemptyset(&mine.sa_mask);
    sigaddset(&mine.sa_mask, SIGUSR1);
    mine.sa_flags = SA_NODEFER;
    struct sigaction before[3];
    for (int i = 0; i < 3; ++i)
        QVERIFY(::sigaction(Watched[i], &mine, &before[i]) == 0);

    {
        UnixSignalWatcher watcher;
        QVERIFY(watcher.isWatching());
        QSignalSpy told(&watcher, &UnixSignalWatcher::terminationRequested);
        ::raise(SIGTERM);
        QVERIFY(told.wait());
        QCOMPARE(told.last().first().toInt(), SIGTERM);

        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("one at a time")));
        {
            const UnixSignalWatcher second;
            QVERIFY(!second.isWatching());
        }
        // The second's end takes nothing from the first.
        ::raise(SIGHUP);
        QVERIFY(told.wait());
        QCOMPARE(told.last().first().toInt(), SIGHUP);
    }
    QCOMPARE(int(s_caught), 0);

    for (int number : Watched) {
        struct sigaction now = {};
        QVERIFY(::sigaction(number, nullptr, &now) == 0);
        QVERIFY(now.sa_handler == caught);
        QVERIFY(now.sa_flags & SA_NODEFER);
        QVERIFY(sigismember(&now.sa_mask, SIGUSR1));
    }
    ::raise(SIGINT);
    QCOMPARE(int(s_caught), SIGINT);
    for (int i = 0; i < 3; ++i)
        ::sigaction(Watched[i], &before[i], nullptr);
}

QTEST_GUILESS_MAIN(TstUnixSignalWatcher)
#include "tst_unix_signal_watcher.moc"
