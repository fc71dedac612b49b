#pragma once

#include "platform/FocusTyping.h"
#include "platform/linux/RemoteDesktopPortalTyper.h"
#include "platform/linux/VirtualKeyboardTyper.h"
#include "platform/linux/XTestTyper.h"

#include <QString>
#include <QTimer>
#include <memory>

// Typing on Linux: the focused window takes the place of the foreground window and its control.
// Every route carries any character, so the control takes Unicode: the posted UTF-16 units are
// collected and the whole text is typed as soon as the poster returns to the event loop (so that
// it is laid out on the keyboard map at once), like messages posted to a window. Bytes posted as
// GBK are joined into characters (a lead byte with its trail byte) the same way.
//
// Each text picks its way when its foreground window is asked for: in an X11 session, or when an
// X11 window (Xwayland) has the focus, XTest; otherwise the compositor's virtual keyboard, and
// where the compositor offers none (GNOME, KDE) the desktop portal's remote desktop session.
class LinuxFocusTyping : public FocusTyping {
public:
    enum class Route { None, X11, VirtualKeyboard, Portal };

    explicit LinuxFocusTyping(bool wayland, bool x11);
    ~LinuxFocusTyping() override;

    WindowId foregroundWindow() override;
    WindowId focusedControl(WindowId foreground) override;
    bool takesUnicode(WindowId control) override;
    void postCharacter(WindowId control, unsigned char byte) override;
    void postUnicodeCharacter(WindowId control, char16_t unit) override;
    void setRefusalHandler(std::function<void()> handler) override;

    // Types what has been posted and not yet typed.
    void flush();
    // The way the current text goes.
    Route route() const { return m_route; }

private:
    bool m_wayland;
    bool m_x11;
    Route m_route = Route::None;
    XTestTyper m_typer;
    VirtualKeyboardTyper m_virtualKeyboard;
    std::unique_ptr<RemoteDesktopPortalTyper> m_portal; // opened on the first text that needs it
    std::function<void()> m_refused;
    QString m_pending;
    int m_lead = -1; // a lead byte waiting for its trail byte
    QTimer m_flushTimer;
};
