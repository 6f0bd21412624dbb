#pragma once

#include <QAbstractNativeEventFilter>
#include <QObject>
#include <QWindow>

// Notices when the X server destroys the window behind our back (a window
// manager or `xdotool windowclose` killing it): Qt does not, and the program
// would run on with no window until killed.
class WindowGoneFilter : public QObject, public QAbstractNativeEventFilter
{
    Q_OBJECT

public:
    explicit WindowGoneFilter(QWindow *window, QObject *parent = nullptr);
    ~WindowGoneFilter() override;

    bool nativeEventFilter(const QByteArray &eventType, void *message, qintptr *result) override;

signals:
    void windowGone();

private:
    QWindow *m_window;
};
