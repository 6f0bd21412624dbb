#pragma once

#include <QtGlobal>

// What the program window asks of the panel beside it, without knowing it:
// the port it shows picked, holding the person's own work there while a
// program goes out, so that nothing goes between its steps, and showing
// where the program left the board.
class PanelHandWork
{
public:
    // 1 or 2; 0 for none.
    virtual qint16 portPicked() const = 0;
    virtual void holdHandWork() = 0;
    // What waited runs now, in the order it was asked for.
    virtual void releaseHandWork() = 0;
    // The lists show the minute, bit and mode the board is on, as a port
    // pick leaves them; nothing is sent.
    virtual void showPicked(qint16 minute, qint16 bit, qint16 mode) = 0;

protected:
    ~PanelHandWork() = default;
};
