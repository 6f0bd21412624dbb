#include "windows_console_watcher.h"

#include <QMetaObject>

#include <atomic>
#include <qt_windows.h>

namespace {

std::atomic<WindowsConsoleWatcher *> s_watcher = nullptr;
HANDLE s_unloaded = nullptr;

// Runs on a thread of its own: only a queued call to the event thread.
BOOL WINAPI onConsoleEvent(DWORD event)
{
    if (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT && event != CTRL_CLOSE_EVENT)
        return FALSE;
    WindowsConsoleWatcher *watcher = s_watcher.load();
    if (!watcher)
        return FALSE;
    QMetaObject::invokeMethod(watcher, [watcher, event] {
        emit watcher->terminationRequested(int(event));
        SetEvent(s_unloaded);
    }, Qt::QueuedConnection);
    // After a close the system ends the process as soon as this returns: the
    // event thread gets its time to let go first (the system allows 5 s).
    if (event == CTRL_CLOSE_EVENT)
        WaitForSingleObject(s_unloaded, 4000);
    return TRUE;
}

} // namespace

WindowsConsoleWatcher::WindowsConsoleWatcher(QObject *parent)
    : QObject(parent)
{
    if (!s_unloaded)
        s_unloaded = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    s_watcher = this;
    SetConsoleCtrlHandler(onConsoleEvent, TRUE);
}

WindowsConsoleWatcher::~WindowsConsoleWatcher()
{
    SetConsoleCtrlHandler(onConsoleEvent, FALSE);
    s_watcher = nullptr;
}
