#include "x11_window_destroyed_filter.h"

#include <QCoreApplication>

#include <cstdint>
#include <cstring>

namespace {

// The X protocol's DestroyNotify event, as libxcb hands it over; spelled out
// here so the program needs no X development headers.
constexpr std::uint8_t DestroyNotify = 17;

struct DestroyNotifyEvent
{
    std::uint8_t responseType;
    std::uint8_t pad0;
    std::uint16_t sequence;
    std::uint32_t event;
    std::uint32_t window;
};

} // namespace

X11WindowDestroyedFilter::X11WindowDestroyedFilter(QWindow *window, QObject *parent)
    : QObject(parent), m_window(window)
{
    QCoreApplication::instance()->installNativeEventFilter(this);
}

X11WindowDestroyedFilter::~X11WindowDestroyedFilter()
{
    QCoreApplication::instance()->removeNativeEventFilter(this);
}

bool X11WindowDestroyedFilter::nativeEventFilter(const QByteArray &eventType, void *message, qintptr *)
{
    if (eventType != "xcb_generic_event_t")
        return false;
    DestroyNotifyEvent event;
    std::memcpy(&event, message, sizeof event);
    // The high bit marks events sent by another client.
    if ((event.responseType & 0x7f) == DestroyNotify && event.window == m_window->winId())
        emit windowDestroyed();
    return false;
}
