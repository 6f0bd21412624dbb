// Exchange timing: how close each poll and each wait's end come to the times
// the exchange engine promises, against an emulated board on a real
// pseudo-terminal answering at several delays, or not at all.

#include "board_protocol.h"
#include "board_thread.h"
#include "device_dialogue.h"
#include "line_tap.h"
#include "qt_serial_channel.h"
#include "stats.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QRegularExpression>
#include <QTimer>

#include <optional>

using namespace Bench;

namespace {

constexpr int ExchangesPerSetting = 50;
constexpr int ControlTimers = 100;
constexpr double PassMs = double(DeviceDialogue::PassPeriod.count());

struct Setting
{
    int delayMs;   // -1: the board stays silent
    QString label() const
    {
        return delayMs < 0 ? QStringLiteral("silent board") : QStringLiteral("reply at %1 ms").arg(delayMs);
    }
    // The poll that should first see the reply (1-based), or none.
    std::optional<int> expectedPass() const
    {
        if (delayMs < 0)
            return std::nullopt;
        return delayMs / int(DeviceDialogue::PassPeriod.count()) + 2;
    }
};

struct Exchange
{
    Clock::time_point written;
    std::optional<int> firstTextPass;
    Clock::time_point finished;
    QByteArray respuesta;
};

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);

    BoardThread board;
    if (!board.started()) {
        note(QStringLiteral("bench_exchange: cannot start the emulated board: %1").arg(board.devicePath()));
        return 1;
    }
    PortMap ports;
    ports.setDevice(1, board.devicePath());
    QtSerialChannel serie(ports);
    serie.setPortNumber(1);
    if (!serie.open()) {
        note(QStringLiteral("bench_exchange: cannot open %1").arg(board.devicePath()));
        return 1;
    }
    DeviceDialogue dialogue(&serie);

    std::vector<double> readOffsets, timedReadOffsets, endOffsets;
    Exchange current;

    static const QRegularExpression readEvent(QStringLiteral(R"(^read (\d) (.*)$)"));
    const LineTap tap([&](const QString &event) {
        if (event.startsWith(QLatin1String("write "))) {
            current = Exchange{};
            current.written = Clock::now();
            return;
        }
        const QRegularExpressionMatch read = readEvent.match(event);
        if (!read.hasMatch())
            return;
        const int pasada = read.captured(1).toInt();
        const double scheduled = (pasada - 1) * PassMs;
        const double offset = msBetween(current.written, Clock::now()) - scheduled;
        readOffsets.push_back(offset);
        if (pasada > 1)
            timedReadOffsets.push_back(offset);
        if (read.captured(2) != QLatin1String("\"\"") && !current.firstTextPass)
            current.firstTextPass = pasada;
    });
    QObject::connect(&dialogue, &DeviceDialogue::exchangeFinished,
                     [&](const QByteArray &, const QByteArray &respuesta) {
                         current.finished = Clock::now();
                         current.respuesta = respuesta;
                     });

    const std::vector<Setting> settings{{10}, {50}, {90}, {150}, {-1}};
    int exchanges = 0, unexpected = 0;
    std::vector<QStringList> perSetting;   // shown under the totals
    for (const Setting &setting : settings) {
        board.call([&](BoardEmulator *b) {
            // Replies in one piece exactly at the delay: this measures the
            // exchange's own timing, not the line's.
            b->setLinePaced(false);
            b->setSilent(setting.delayMs < 0);
            b->setReplyDelay(std::max(0, setting.delayMs));
        });
        std::vector<double> endsFromWrite;
        int asExpected = 0;
        for (int i = 0; i < ExchangesPerSetting; ++i) {
            QEventLoop loop;
            QObject::connect(&dialogue, &DeviceDialogue::idle, &loop, &QEventLoop::quit);
            dialogue.EnviaOrden(BoardProtocol::connectCommand());
            loop.exec();

            // The wait ends a pass after the poll that first saw text, else after all three.
            const double endsAt = current.firstTextPass ? *current.firstTextPass * PassMs
                                                        : DeviceDialogue::Passes * PassMs;
            const double fromWrite = msBetween(current.written, current.finished);
            endsFromWrite.push_back(fromWrite);
            endOffsets.push_back(fromWrite - endsAt);

            const bool silent = setting.delayMs < 0;
            if (current.firstTextPass == setting.expectedPass()
                && (silent ? current.respuesta == BoardProtocol::TimeoutMarker
                           : current.respuesta.startsWith("OK")))
                ++asExpected;
        }
        exchanges += ExchangesPerSetting;
        unexpected += ExchangesPerSetting - asExpected;
        const double nominal = (setting.expectedPass() ? *setting.expectedPass() : DeviceDialogue::Passes) * PassMs;
        perSetting.push_back({QStringLiteral("  %1: wait ends at write + %2 ms").arg(setting.label()).arg(nominal),
                              describe(summarize(endsFromWrite)),
                              QStringLiteral("%1/%2 ended as expected").arg(asExpected).arg(ExchangesPerSetting)});
    }

    // The platform's own precision, same thread, same machine, right after.
    std::vector<double> control;
    for (int i = 0; i < ControlTimers; ++i) {
        QEventLoop loop;
        const Clock::time_point armed = Clock::now();
        QTimer::singleShot(DeviceDialogue::PassPeriod, Qt::PreciseTimer, &loop, &QEventLoop::quit);
        loop.exec();
        control.push_back(msBetween(armed, Clock::now()) - PassMs);
    }

    const Summary reads = summarize(readOffsets);
    const Summary timedReads = summarize(timedReadOffsets);
    const Summary ends = summarize(endOffsets);
    row(QStringLiteral("1"), QStringLiteral("Exchange: poll vs write+0/100/200 ms (%1 polls)").arg(reads.count),
        describe(reads), QStringLiteral("p99 <= 2 ms late"), atMost(reads.p99, 2.0));
    row(QStringLiteral("1"), QStringLiteral("  timed polls only (pass 2 and 3, %1 polls)").arg(timedReads.count),
        describe(timedReads), QStringLiteral("p99 <= 2 ms late"), atMost(timedReads.p99, 2.0));
    row(QStringLiteral("1"), QStringLiteral("Exchange: wait end vs schedule (%1 exchanges)").arg(ends.count),
        describe(ends), QStringLiteral("p99 <= 2 ms late"), atMost(ends.p99, 2.0));
    for (const QStringList &r : perSetting)
        row(QStringLiteral("1"), r[0], r[1], QString(), r[2]);
    row(QStringLiteral("1"), QStringLiteral("  control: bare 100 ms Qt::PreciseTimer, lateness (%1 shots)").arg(ControlTimers),
        describe(summarize(control)), QStringLiteral("reference"));
    if (unexpected)
        note(QStringLiteral("bench_exchange: %1 of %2 exchanges did not end as the delay predicts")
                 .arg(unexpected).arg(exchanges));
    return 0;
}
