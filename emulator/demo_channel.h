#pragma once

#include "board_emulator.h"
#include "serial_channel.h"

#include <array>

// The serial channel of --demo where there are no pseudo-terminals: two
// emulated boards in-process, one behind Com1 and one behind Com2, at the pace
// of a 2400-baud line both ways. What a board sends while its port is closed
// is lost, as on a real line.
class DemoChannel : public SerialChannel
{
    Q_OBJECT

public:
    explicit DemoChannel(QObject *parent = nullptr);

    bool isOpen() const override { return m_open; }
    bool open() override;
    void close() override;
    void setPortNumber(qint16 port) override;
    qint16 portNumber() const override { return m_portNumber; }
    bool write(const QByteArray &text) override;
    QByteArray readAll() override;

    // The board behind Com1 (1) or Com2 (2).
    BoardEmulator &board(qint16 port) { return *m_boards.at(port == 2 ? 1 : 0); }

private:
    std::array<BoardEmulator *, 2> m_boards;
    QByteArray m_received;
    qint16 m_portNumber = 1;
    bool m_open = false;
};
