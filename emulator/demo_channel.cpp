#include "demo_channel.h"

#include "line_trace.h"
#include "port_map.h"

#include <utility>

DemoChannel::DemoChannel(QObject *parent)
    : SerialChannel(parent)
{
    for (qint16 port : PortMap::Ports) {
        auto *board = new BoardEmulator(this);
        board->startInProcess();
        m_boards.at(port - 1) = board;
        connect(board, &BoardEmulator::lineOutput, this, [this, port](const QByteArray &bytes) {
            if (m_open && port == m_portNumber) {
                m_received += bytes;
                emit received();
            }
        });
    }
}

bool DemoChannel::open()
{
    if (!m_open)
        qCDebug(lcLine) << "open" << qUtf8Printable(portLabel(m_portNumber)) << "(emulated board)";
    m_open = true;
    return true;
}

void DemoChannel::close()
{
    if (!m_open)
        return;
    m_open = false;
    if (!m_received.isEmpty())
        qCDebug(lcLine) << "discarded" << std::exchange(m_received, {});
    qCDebug(lcLine) << "close" << qUtf8Printable(portLabel(m_portNumber)) << "(emulated board)";
}

void DemoChannel::setPortNumber(qint16 port)
{
    if (!m_open && PortMap::isPort(port))
        m_portNumber = port;
}

bool DemoChannel::write(const QByteArray &text)
{
    if (!m_open) {
        emit errorOccurred(Failure::NotOpen, notOpenMessage());
        return false;
    }
    qCDebug(lcLine) << "write" << text;
    board(m_portNumber).take(text);
    return true;
}

QByteArray DemoChannel::readAll()
{
    return m_open ? std::exchange(m_received, {}) : QByteArray();
}
