#include "platform/linux/LinuxMouseButtons.h"

#include <QSocketNotifier>
#include <QtDebug>

#include <X11/Xlib.h>
#include <X11/extensions/XInput2.h>

LinuxMouseButtons::~LinuxMouseButtons() {
    delete m_notifier;
    if (m_display)
        XCloseDisplay(m_display);
}

MouseButtons::Message LinuxMouseButtons::messageFor(int button, bool press) {
    switch (button) {
    case 2:
        return press ? MiddleDown : MiddleUp;
    case 8:
    case 9:
        return press ? SideDown : SideUp;
    default:
        return Other;
    }
}

bool LinuxMouseButtons::start() {
    if (m_display)
        return true;
    if (qEnvironmentVariableIsEmpty("DISPLAY")) {
        qWarning("Side key , no X display (DISPLAY is not set), the side key does nothing !");
        return false;
    }
    Display* display = XOpenDisplay(nullptr);
    if (!display) {
        qWarning("Side key , cannot open the X display, the side key does nothing !");
        return false;
    }
    int event = 0, error = 0;
    int major = 2, minor = 2;
    if (!XQueryExtension(display, "XInputExtension", &m_opcode, &event, &error) ||
        XIQueryVersion(display, &major, &minor) != Success) {
        qWarning("Side key , the X server has no XInput 2.2, the side key does nothing !");
        XCloseDisplay(display);
        return false;
    }

    unsigned char bits[XIMaskLen(XI_LASTEVENT)] = {};
    XISetMask(bits, XI_RawButtonPress);
    XISetMask(bits, XI_RawButtonRelease);
    XIEventMask mask;
    mask.deviceid = XIAllMasterDevices;
    mask.mask_len = sizeof(bits);
    mask.mask = bits;
    XISelectEvents(display, DefaultRootWindow(display), &mask, 1);
    XFlush(display);

    m_display = display;
    m_notifier = new QSocketNotifier(ConnectionNumber(display), QSocketNotifier::Read);
    connect(m_notifier, &QSocketNotifier::activated, this, &LinuxMouseButtons::readEvents);
    return true;
}

void LinuxMouseButtons::readEvents() {
    // Everything already read into Xlib's queue is handled too, or it would wait for the next
    // wake-up of the socket.
    while (XPending(m_display) > 0) {
        XEvent ev;
        XNextEvent(m_display, &ev);
        XGenericEventCookie* cookie = &ev.xcookie;
        if (cookie->type != GenericEvent || cookie->extension != m_opcode ||
            !XGetEventData(m_display, cookie))
            continue;
        if (cookie->evtype == XI_RawButtonPress || cookie->evtype == XI_RawButtonRelease) {
            const auto* raw = static_cast<const XIRawEvent*>(cookie->data);
            const Message message = messageFor(raw->detail, cookie->evtype == XI_RawButtonPress);
            XFreeEventData(m_display, cookie);
            emit mouseMessage(message);
        } else {
            XFreeEventData(m_display, cookie);
        }
    }
}
