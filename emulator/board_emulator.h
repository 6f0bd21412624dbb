#pragma once

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QString>

#include <array>
#include <chrono>
#include <memory>
#include <utility>

// An emulated programmer board on the far side of a pseudo-terminal, or
// in-process with no transport at all. On a pseudo-terminal the panel (or a
// test) opens devicePath() like any serial device; in-process the bytes come
// in by take() and go out by lineOutput(). Either way the emulator parses the
// command stream and answers each command with six characters: status ("OK"
// or "ER"), minute as two digits, bit, mode.
//
// By default it keeps the pace of a real 2400-baud 8N1 line both ways: a
// command reaches the board one byte time per byte after the panel wrote it,
// and an answer leaves one byte per byte time, queued behind whatever the
// board is still sending.
//
// Lives on the thread that created it; call it from that thread only.
class BoardEmulator : public QObject
{
    Q_OBJECT

public:
    using Clock = std::chrono::steady_clock;
    // Start bit, eight data bits and stop bit at 2400 baud; rounded up so the
    // board is never faster than the line.
    static constexpr std::chrono::nanoseconds ByteTime{4'166'667};

    // One command as the board parsed it. `at` is when the board made up its
    // mind: for a complete command, when its last byte arrived; for garbage or
    // a command left unfinished, when the board gave up on it. Answers are
    // timed from `at`.
    struct Command
    {
        QByteArray text;      // e.g. "I1", "I2P  10 "; for garbage, the bytes dropped (first 64)
        bool valid = false;   // false: answered "ER"
        Clock::time_point at;
    };

    // A piece of a scripted answer: a delay in milliseconds and a text, handed
    // to the line that long after the command was parsed.
    using ReplyPiece = std::pair<int, QByteArray>;

    static constexpr int Minutes = 10;
    // The program: element m - 1 holds minute m, its bit b for bit b.
    using Cells = std::array<quint8, Minutes>;

    explicit BoardEmulator(QObject *parent = nullptr);
    ~BoardEmulator() override;

    // Opens a pseudo-terminal pair in raw mode. False (and errorString()) on failure.
    // A fresh start (also after hangUp()) is a new board: new device path,
    // power-on state, empty logs. Calling it while running does nothing.
    // Systems without pseudo-terminals (Windows) always fail here.
    bool start();
    // The same board with no pseudo-terminal: bytes come in by take() and go
    // out by lineOutput(). Calling it while running does nothing.
    bool startInProcess();
    bool isRunning() const;
    QString devicePath() const;   // full path of the panel's side, e.g. "/dev/pts/4"
    QString errorString() const;
    // The line as the panel has set it, e.g. "2400 8N1, no flow control": a
    // real board talks at 2400 8N1 only. Empty in-process.
    QString lineSettings() const;

    // The board goes away: both of its ends close, the panel's side sees a hang-up.
    void hangUp();

    // In-process: bytes the panel writes now. Paced, each reaches the board
    // one byte time after the one before it (or after now, on an idle line).
    void take(const QByteArray &bytes);

    // --- behaviour -------------------------------------------------------
    // On (the default): bytes take the line time of 2400 baud 8N1 both ways.
    // Off: commands are parsed as soon as they are read and answers are
    // written in one piece. Applies to bytes read or sent from then on.
    void setLinePaced(bool paced);
    // Delay from the parse of a command to the start of its answer (default 20 ms).
    void setReplyDelay(int ms);
    // Parse and keep state, but never answer (answers already due still go out).
    void setSilent(bool silent);
    // Answer every command with these pieces instead (each at its own delay,
    // whatever the reply delay); the placeholder "{reply}" in a piece's text
    // stands for the normal reply; {{0, "XY"}} answers "XY" on the parse. An
    // empty list restores the normal reply.
    void setReplyScript(const QList<ReplyPiece> &pieces);
    // Send bytes to the panel now, unasked.
    void sendUnasked(const QByteArray &bytes);

    // --- what the board holds and saw ------------------------------------
    // What the board would answer now: "OK", minute (1..10, power-on 1) as
    // two digits, bit (0..7, power-on 0), mode (0 or 1, power-on 0).
    QByteArray normalReply() const;
    int mode() const;
    // The program held, all off at power-on; kept after hangUp() until the
    // next start.
    Cells cells() const;
    // A board that already holds a program, until the next start: for tests.
    void setCells(const Cells &cells);
    // Whether Start (I8) is the last command the board carried out.
    bool isStarted() const;

    QByteArray received() const;       // every byte that reached the board since start/clear, in order
    QList<Command> commands() const;   // every command parsed since start/clear, in order
    void clearLog();

signals:
    void commandParsed(const BoardEmulator::Command &command);
    // Bytes that went out to the panel (an answer, a piece or unasked bytes),
    // told as their last byte leaves the line; lets a front end log the traffic.
    void sent(const QByteArray &bytes);
    // In-process: bytes reaching the panel, no earlier than `at`, when the
    // last of them is complete on the line.
    void lineOutput(const QByteArray &bytes, BoardEmulator::Clock::time_point at);

private:
    struct Private;
    std::unique_ptr<Private> d;
};
