#include "platform/linux/DesktopSession.h"

#include "platform/linux/VirtualKeyboardTyper.h"

#include <QtDebug>
#include <mutex>

bool DesktopSession::isWayland() {
    if (qEnvironmentVariable("XDG_SESSION_TYPE") == QLatin1String("x11"))
        return false;
    return !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
}

bool DesktopSession::hasX11() {
    return !qEnvironmentVariableIsEmpty("DISPLAY");
}

QString DesktopSession::backendSummary() {
    if (!isWayland())
        return QStringLiteral("Platform , X11 session: typing with XTest, side key from XInput2 "
                              "(else the kernel's input events)");
    // GNOME and KDE offer no virtual keyboard; their desktop portal types instead.
    return QStringLiteral(
               "Platform , Wayland session%1: typing through %3%2; side key from the kernel's input "
               "events")
        .arg(hasX11() ? QStringLiteral(" with Xwayland") : QString(),
             hasX11() ? QStringLiteral(", XTest into X11 windows") : QString(),
             VirtualKeyboardTyper::offered() ? QStringLiteral("the compositor's virtual keyboard")
                                             : QStringLiteral("the desktop portal's remote desktop session"));
}

void DesktopSession::logBackendsOnce() {
    static std::once_flag logged;
    std::call_once(logged, [] { qDebug().noquote() << backendSummary(); });
}
