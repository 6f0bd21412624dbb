#pragma once

#include "line_writer.h"

#include <chrono>

// The process's standard output and error, each written through a line
// writer of its own, so that a reader that is slow or has gone never holds
// up the program. Made on first use and never destroyed: their threads may
// outlive main(). Standard output's drop notice counts "lines", standard
// error's "trace lines".
namespace StandardStreams {

LineWriter &output();
LineWriter &error();

// Waits at most timeout for each of the two that exist to write out what it
// holds: before a text written past them, and before an end that skips exit().
void drain(std::chrono::milliseconds timeout);
// Each is drained (for a second at most) as the program ends, before the
// static objects made until then are destroyed.

} // namespace StandardStreams
