#pragma once

#include <QStringList>

class PortMap;

// The system's serial ports as --list-ports prints them and a failed port
// pick lists them: one line per port with its device, description, maker and
// USB ids; the lines of the ports behind Com1 and Com2 start with that name.
namespace PortList {

QStringList describe(const PortMap &ports);

} // namespace PortList
