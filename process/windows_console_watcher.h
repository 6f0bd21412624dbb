#pragma once

#include <QObject>

// Turns the console's Ctrl+C, Ctrl+Break and close into a Qt signal on the
// event thread, so the program can let go of what it holds (the panel its
// port) and end normally. The Windows counterpart of UnixSignalWatcher.
class WindowsConsoleWatcher : public QObject
{
    Q_OBJECT

public:
    explicit WindowsConsoleWatcher(QObject *parent = nullptr);
    ~WindowsConsoleWatcher() override;

signals:
    void terminationRequested(int consoleEvent);
};
