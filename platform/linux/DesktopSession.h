#pragma once

#include <QString>

// What kind of graphical session the program runs in, and the backends that follow from it:
// an X11 session uses the X11 backends (the side key falls back to the kernel's input events); a
// Wayland session types through the compositor's virtual keyboard (where it offers none, through
// the desktop portal), still types into X11 programs (Xwayland) with XTest, and reads the side key
// from the kernel's input events.
class DesktopSession {
public:
    // A Wayland session: WAYLAND_DISPLAY is set, unless XDG_SESSION_TYPE says "x11".
    static bool isWayland();
    // An X server to talk to (the session's own, or Xwayland): DISPLAY is set.
    static bool hasX11();

    // One line naming the backends of this session.
    static QString backendSummary();
    // Logs backendSummary() the first time it is called in the run.
    static void logBackendsOnce();
};
