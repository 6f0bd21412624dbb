#pragma once

#include "board_emulator.h"

#include <QThread>

#include <utility>

// An emulated board on a thread of its own, so its reply timers never wait on
// the panel's event loop (and never delay it). The board lives and dies there.
class BoardThread
{
public:
    BoardThread()
    {
        m_anchor->moveToThread(&m_thread);
        m_thread.start();
        call([this](BoardEmulator *) {
            m_board = new BoardEmulator;
            m_started = m_board->start();
            m_path = m_started ? m_board->devicePath() : m_board->errorString();
        });
    }

    ~BoardThread()
    {
        call([this](BoardEmulator *board) {
            delete board;
            m_board = nullptr;
        });
        // Deferred deletes still run as the thread finishes.
        m_anchor->deleteLater();
        m_thread.quit();
        m_thread.wait();
    }

    bool started() const { return m_started; }
    // The panel's side of the line, or why the board could not start.
    QString devicePath() const { return m_path; }

    // Runs f(board) on the board's thread and waits for it.
    template <typename F>
    void call(F &&f)
    {
        QMetaObject::invokeMethod(m_anchor, [this, &f] { f(m_board); },
                                  Qt::BlockingQueuedConnection);
    }

private:
    QThread m_thread;
    QObject *m_anchor = new QObject;   // the board thread's target for calls
    BoardEmulator *m_board = nullptr;
    bool m_started = false;
    QString m_path;
};
