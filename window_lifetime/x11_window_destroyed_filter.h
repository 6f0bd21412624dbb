#pragma once

#include <QAbstractNativeEventFilter>
#include <QObject>
#include <QWindow>

// Notices when the X server destroys the window behind our back (a window
// manager or `xdotool windowclose` killing it): Qt does not, and the program
// would run on with no window until killed. X11 only: elsewhere the filter
// never sees the event it looks for.
class X11WindowDestroyedFilter : public QObject, public QAbstractNativeEventFilter
{
    Q_OBJECT

public:
    explicit X11WindowDestroyedFilter(QWindow *window, QObject *parent = nullptr);
    ~X11WindowDestroyedFilter() override;

    bool nativeEventFilter(const QByteArray &eventType, void *message, qintptr *result) override;

signals:
    void windowDestroyed();

private:
    QWindow *m_window;
};
