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
// For exit(): drained for a second at most, then whatever is still stuck in
// a write no longer tells Qt, which is being taken down, of a gone reader.
void finish();

} // namespace StandardStreams
