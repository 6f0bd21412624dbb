// What the standard streams hold when a program ends gets out: whether main()
// returns, or exit() comes from where the program did not call it (the
// forced end then runs first and sets the exit code).
#include <QTest>

#include <thread>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char **environ;

class TstProgramEnd : public QObject
{
    Q_OBJECT

private slots:
    void standardErrorGetsOutAtTheEnd_data();
    void standardErrorGetsOutAtTheEnd();
};

void TstProgramEnd::standardErrorGetsOutAtTheEnd_data()
{
    QTest::addColumn<QByteArray>("how");
    QTest::addColumn<int>("exitCode");
    QTest::newRow("main() returns") << QByteArray() << 0;
    QTest::newRow("exit() from inside, forced end armed") << QByteArray("forced") << 4;
}

void TstProgramEnd::standardErrorGetsOutAtTheEnd()
{
    QFETCH(QByteArray, how);
    QFETCH(int, exitCode);
    constexpr int Lines = 300;
    int ends[2];
    QVERIFY(::pipe2(ends, O_CLOEXEC) == 0);
    // Smaller than what the child logs: it ends with most of it still queued.
    ::fcntl(ends[1], F_SETPIPE_SZ, 4096);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, ends[1], STDERR_FILENO);
    QByteArray count = QByteArray::number(Lines);
    char *argv[] = {const_cast<char *>(PROGRAM_END_CHILD), count.data(),
                    how.isEmpty() ? nullptr : how.data(), nullptr};
    pid_t child = -1;
    const int spawned = posix_spawn(&child, PROGRAM_END_CHILD, &actions, nullptr, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(ends[1]);
    QCOMPARE(spawned, 0);

    // A reader that comes late, as a pager does.
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    QByteArray got;
    char buffer[4096];
    for (ssize_t n; (n = ::read(ends[0], buffer, sizeof buffer)) > 0;)
        got.append(buffer, n);
    ::close(ends[0]);
    int status = 0;
    QCOMPARE(::waitpid(child, &status, 0), child);
    QVERIFY(WIFEXITED(status));
    QCOMPARE(WEXITSTATUS(status), exitCode);

    // Every line, whole, and the forced end's after them; then the last '\n'.
    const QList<QByteArray> lines = got.split('\n');
    QCOMPARE(lines.size(), Lines + (how.isEmpty() ? 0 : 1) + 1);
    QVERIFY(lines.at(Lines - 1).startsWith("line " + QByteArray::number(Lines - 1) + ' '));
    if (!how.isEmpty())
        QCOMPARE(lines.at(Lines), QByteArray("first"));
    QCOMPARE(lines.last(), QByteArray());
}

QTEST_GUILESS_MAIN(TstProgramEnd)
#include "tst_program_end.moc"
