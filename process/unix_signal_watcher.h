#pragma once

#include <QObject>

class QSocketNotifier;

// Turns SIGINT, SIGTERM and SIGHUP (Ctrl+C, kill, a closed terminal) into a
// Qt signal on the event thread, so the program can let go of what it holds
// (the panel its port, the emulator its board) and end normally. When it
// goes, the handlers it found are back.
//
// One at a time: the signal handler can reach only one watcher's pipe. A
// second made while one lives watches nothing.
class UnixSignalWatcher : public QObject
{
    Q_OBJECT

public:
    explicit UnixSignalWatcher(QObject *parent = nullptr);
    ~UnixSignalWatcher() override;

    // False for a second watcher, or if its pipe could not be made.
    bool isWatching() const { return m_notifier != nullptr; }

signals:
    void terminationRequested(int signalNumber);

private:
    void onReadable();

    QSocketNotifier *m_notifier = nullptr;
};
