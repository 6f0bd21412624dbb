#include "board_line.h"

#include "qt_serial_channel.h"

#ifdef PROGRAMADOR_HAVE_DEMO
#include "board_emulator.h"
#include "demo_channel.h"
#endif

BoardLine::BoardLine() = default;

BoardLine::~BoardLine()
{
    // The channel lets go of its port before the boards behind it go.
    m_channel.reset();
}

bool BoardLine::start(const PortMap &ports, bool demo, QString *error)
{
    PortMap map = ports;
#ifdef PROGRAMADOR_HAVE_DEMO
    if (demo) {
#ifdef Q_OS_UNIX
        for (qint16 number : PortMap::Ports) {
            auto board = std::make_unique<BoardEmulator>();
            if (!board->start()) {
                *error = board->errorString();
                return false;
            }
            map.setDevice(number, board->devicePath());
            m_boards.push_back(std::move(board));
        }
#else
        // No pseudo-terminals: the boards sit in-process behind the channel.
        Q_UNUSED(error);
        m_channel = std::make_unique<DemoChannel>();
        return true;
#endif
    }
#else
    Q_UNUSED(demo);
    Q_UNUSED(error);
#endif
    m_channel = std::make_unique<QtSerialChannel>(map);
    return true;
}
