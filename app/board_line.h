#pragma once

#include "port_map.h"
#include "serial_channel.h"

#include <QString>

#include <memory>
#include <vector>

class BoardEmulator;

// The line to the boards that the window or a session talks over: the
// system's serial ports, or with --demo two emulated boards behind Com1 and
// Com2 (on pseudo-terminals where there are any, else in-process). Made
// after the application object, before the window or the session.
class BoardLine
{
public:
    BoardLine();
    ~BoardLine();

    // False, with the reason in *error, if the demo's boards cannot start.
    bool start(const PortMap &ports, bool demo, QString *error);
    SerialChannel &channel() { return *m_channel; }

private:
    std::vector<std::unique_ptr<BoardEmulator>> m_boards;
    std::unique_ptr<SerialChannel> m_channel;
};
