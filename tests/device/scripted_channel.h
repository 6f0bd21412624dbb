#pragma once

#include "serial_channel.h"

#include <QList>

#include <chrono>

// A channel whose reads return a script, one entry per read, so a test can
// make a reply appear at an exact poll. Only for what a pseudo-terminal
// cannot pin down in time.
class ScriptedChannel : public SerialChannel
{
    Q_OBJECT

public:
    QList<QByteArray> reads;    // consumed front first; empty reads after that
    QList<QByteArray> writes;
    bool opened = true;
    bool failWrites = false;
    int writeAttempts = 0;
    // A clock the test moves, and when by it each read was made.
    const std::chrono::steady_clock::time_point *now = nullptr;
    QList<std::chrono::steady_clock::time_point> readAt;

    bool isOpen() const override { return opened; }
    bool open() override { opened = true; return true; }
    void close() override { opened = false; }
    void setPortNumber(qint16 port) override { m_port = port; }
    qint16 portNumber() const override { return m_port; }
    bool write(const QByteArray &text) override
    {
        ++writeAttempts;
        if (!opened || failWrites)
            return false;
        writes.append(text);
        return true;
    }
    QByteArray readAll() override
    {
        if (now)
            readAt.append(*now);
        return reads.isEmpty() ? QByteArray() : reads.takeFirst();
    }

    void loseConnection()
    {
        opened = false;
        emit errorOccurred(Failure::Lost, QStringLiteral("lost"));
    }

private:
    qint16 m_port = 1;
};
