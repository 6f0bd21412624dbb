// The line writer on a pipe whose reader falls behind, then catches up, or
// goes away; Qt's messages of one category to a writer of their own.
#include "command_line.h"
#include "line_writer.h"
#include "qt_message_routing.h"

#include <QLoggingCategory>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QTest>
#include <QThread>

#include <chrono>
#include <thread>

#include <fcntl.h>
#include <unistd.h>

using namespace std::chrono_literals;

Q_LOGGING_CATEGORY(lcRouted, "tst.routed", QtDebugMsg)

class TstLineWriter : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void slowReaderLosesWholeLinesAndIsToldHowMany();
    void goneReaderStopsTheWriterAndIsToldOnce();
    void oneCategoryGoesToItsOwnWriter();
    void statusLineStaysBelowTheLines();
    void aLineOverTheByteBoundGoesOutWhenAlone();
};

void TstLineWriter::initTestCase()
{
    CommandLine::ignoreBrokenPipe();
}

void TstLineWriter::slowReaderLosesWholeLinesAndIsToldHowMany()
{
    int ends[2];
    QVERIFY(::pipe(ends) == 0);
    ::fcntl(ends[1], F_SETPIPE_SZ, 4096);
    constexpr int Lines = 2000;
    const QByteArray padding(90, '.');
    auto *writer = new LineWriter(ends[1], 8);
    // Nobody reads yet: the pipe fills, eight lines wait, the rest go.
    for (int i = 0; i < Lines; ++i)
        writer->writeLine("line " + QByteArray::number(i) + ' ' + padding);

    QByteArray got;
    std::thread reader([&] {
        char buffer[4096];
        for (ssize_t n; (n = ::read(ends[0], buffer, sizeof buffer)) > 0;)
            got.append(buffer, n);
    });
    const bool drained = writer->drain(20s);
    writer->writeLine("after");
    const bool drainedAgain = writer->drain(20s);
    const qint64 dropped = writer->dropped();
    delete writer;
    ::close(ends[1]);
    reader.join();
    ::close(ends[0]);
    QVERIFY(drained);
    QVERIFY(drainedAgain);

    // Each line whole and in its place, or counted where it would have been.
    static const QRegularExpression notice(
        QStringLiteral("^(\\d+) trace lines? dropped: the reader was too slow$"));
    QList<QByteArray> lines = got.split('\n');
    QCOMPARE(lines.takeLast(), QByteArray());
    QCOMPARE(lines.takeLast(), QByteArray("after"));
    int next = 0;
    int notices = 0;
    for (const QByteArray &line : std::as_const(lines)) {
        const QRegularExpressionMatch counted = notice.match(QString::fromLatin1(line));
        if (counted.hasMatch()) {
            ++notices;
            next += counted.captured(1).toInt();
            continue;
        }
        QCOMPARE(line, "line " + QByteArray::number(next) + ' ' + padding);
        ++next;
    }
    QCOMPARE(next, Lines);
    QVERIFY(notices > 0);
    QVERIFY(dropped > 0);
}

void TstLineWriter::goneReaderStopsTheWriterAndIsToldOnce()
{
    int ends[2];
    QVERIFY(::pipe(ends) == 0);
    LineWriter writer(ends[1]);
    QThread *told = nullptr;
    connect(&writer, &LineWriter::readerLeft, this, [&told] { told = QThread::currentThread(); },
            Qt::DirectConnection);
    QSignalSpy left(&writer, &LineWriter::readerLeft);
    writer.writeLine("read");
    QVERIFY(writer.drain(20s));
    ::close(ends[0]);
    for (int i = 0; i < 100; ++i)
        writer.writeLine("nobody reads this");
    QVERIFY(left.wait());
    QVERIFY(writer.hasReaderLeft());
    writer.writeLine("nor this");
    QVERIFY(!writer.drain(0ms));
    QCoreApplication::processEvents();
    QCOMPARE(left.size(), 1);
    QCOMPARE(told, thread());
    QCOMPARE(writer.dropped(), 0);
    ::close(ends[1]);
}

// What a terminal shows of these bytes: '\r' goes back to the start of the
// row, '\n' to a new row, anything else overwrites.
static QStringList screenOf(const QByteArray &bytes)
{
    QStringList rows{QString()};
    qsizetype column = 0;
    for (const char c : bytes) {
        if (c == '\r') {
            column = 0;
        } else if (c == '\n') {
            rows << QString();
            column = 0;
        } else {
            QString &row = rows.last();
            // Spaces rubbed over a row read as nothing at its end.
            if (column < row.size())
                row[column] = QChar::fromLatin1(c);
            else
                row += QChar::fromLatin1(c);
            ++column;
        }
    }
    for (QString &row : rows) {
        while (row.endsWith(u' '))
            row.chop(1);
    }
    return rows;
}

void TstLineWriter::statusLineStaysBelowTheLines()
{
    int ends[2];
    QVERIFY(::pipe(ends) == 0);
    QByteArray got;
    std::thread reader([&] {
        char buffer[4096];
        for (ssize_t n; (n = ::read(ends[0], buffer, sizeof buffer)) > 0;)
            got.append(buffer, n);
    });
    QStringList expected;
    {
        LineWriter writer(ends[1]);
        for (int i = 0; i < 200; ++i) {
            writer.setStatusLine("step " + QByteArray::number(i) + " of 200, a long while left");
            writer.writeLine("line " + QByteArray::number(i));
            expected << QStringLiteral("line %1").arg(i);
            if (i % 50 == 0)
                QVERIFY(writer.drain(20s));
        }
        writer.setStatusLine("the end");
        QVERIFY(writer.drain(20s));
        writer.writeLine("after");
        QVERIFY(writer.drain(20s));
        // Taken away, and waited for like a line.
        writer.setStatusLine("");
        QVERIFY(writer.drain(20s));
    }
    ::close(ends[1]);
    reader.join();
    ::close(ends[0]);
    // Every line whole and in order on rows of its own, the status line
    // gone from where each stood; at the end nothing below them.
    const QStringList rows = screenOf(got);
    QCOMPARE(rows.mid(0, 200), expected);
    QCOMPARE(rows.at(200), QStringLiteral("after"));
    QCOMPARE(rows.size(), 202);
    QCOMPARE(rows.last(), QString());
    QVERIFY(got.contains("the end"));
}

void TstLineWriter::aLineOverTheByteBoundGoesOutWhenAlone()
{
    int ends[2];
    QVERIFY(::pipe(ends) == 0);
    QByteArray got;
    std::thread reader([&] {
        char buffer[65536];
        for (ssize_t n; (n = ::read(ends[0], buffer, sizeof buffer)) > 0;)
            got.append(buffer, n);
    });
    const QByteArray flood(LineWriter::MaxQueuedBytes + 1, 'x');
    {
        LineWriter writer(ends[1]);
        writer.writeLine(flood);
        QVERIFY(writer.drain(20s));
        QCOMPARE(writer.dropped(), 0);
    }
    ::close(ends[1]);
    reader.join();
    ::close(ends[0]);
    QCOMPARE(got.size(), flood.size() + 1);
}

void TstLineWriter::oneCategoryGoesToItsOwnWriter()
{
    int logEnds[2], otherEnds[2];
    QVERIFY(::pipe(logEnds) == 0);
    QVERIFY(::pipe(otherEnds) == 0);
    {
        LineWriter log(logEnds[1]);
        LineWriter others(otherEnds[1]);
        const QtMessageHandler before = QtMessageRouting::routeTo(others);
        QtMessageRouting::routeCategory("tst.routed", &log);
        const auto restore = qScopeGuard([before] {
            QtMessageRouting::routeCategory(nullptr, nullptr);
            qInstallMessageHandler(before);
        });
        qSetMessagePattern(QStringLiteral("%{category}: %{message}"));
        qCDebug(lcRouted) << "logged";
        qWarning("warned");
        qCWarning(lcRouted) << "also logged";
        QVERIFY(log.drain(20s));
        QVERIFY(others.drain(20s));
    }
    ::close(logEnds[1]);
    ::close(otherEnds[1]);
    const auto readAll = [](int fd) {
        QByteArray got;
        char buffer[4096];
        for (ssize_t n; (n = ::read(fd, buffer, sizeof buffer)) > 0;)
            got.append(buffer, n);
        ::close(fd);
        return got;
    };
    QCOMPARE(readAll(logEnds[0]), QByteArray("tst.routed: logged\ntst.routed: also logged\n"));
    QCOMPARE(readAll(otherEnds[0]), QByteArray("default: warned\n"));
}

QTEST_GUILESS_MAIN(TstLineWriter)
#include "tst_line_writer.moc"
