#include "platform/linux/LinuxFocusTyping.h"

#include "platform/linux/DesktopSession.h"

#include <QTextCodec>
#include <QtDebug>

std::unique_ptr<FocusTyping> FocusTyping::create() {
    DesktopSession::logBackendsOnce();
    return std::make_unique<LinuxFocusTyping>(DesktopSession::isWayland(), DesktopSession::hasX11());
}

LinuxFocusTyping::LinuxFocusTyping(bool wayland, bool x11) : m_wayland(wayland), m_x11(x11) {
    m_flushTimer.setSingleShot(true);
    m_flushTimer.setInterval(0);
    QObject::connect(&m_flushTimer, &QTimer::timeout, [this] { flush(); });
}

LinuxFocusTyping::~LinuxFocusTyping() {
    flush();
}

FocusTyping::WindowId LinuxFocusTyping::foregroundWindow() {
    // A new text: what came before goes first, and a dangling lead byte is dropped.
    flush();
    m_lead = -1;
    m_route = Route::None;
    if (!m_wayland) {
        const WindowId window = m_typer.focusWindow();
        if (window)
            m_route = Route::X11;
        return window;
    }
    // Under Wayland the X server (Xwayland) holds the focus only while one of its windows has it.
    if (m_x11) {
        const WindowId window = m_typer.focusWindow();
        if (window > 1) {
            m_route = Route::X11;
            return window;
        }
    }
    if (m_virtualKeyboard.open()) {
        m_route = Route::VirtualKeyboard;
        return 1; // Wayland does not tell clients which window has the focus
    }
    // The portal reports once why it cannot type; after that the text goes nowhere.
    if (!m_portal) {
        m_portal = std::make_unique<RemoteDesktopPortalTyper>();
        QObject::connect(m_portal.get(), &RemoteDesktopPortalTyper::refused, [this] {
            if (m_refused)
                m_refused();
        });
    }
    if (m_portal->usable()) {
        m_route = Route::Portal;
        return 1;
    }
    return 0;
}

FocusTyping::WindowId LinuxFocusTyping::focusedControl(WindowId foreground) {
    // X keeps one focus window, and a Wayland seat one keyboard focus; key events go there.
    return foreground;
}

void LinuxFocusTyping::setRefusalHandler(std::function<void()> handler) {
    m_refused = std::move(handler);
}

bool LinuxFocusTyping::takesUnicode(WindowId) {
    return true;
}

void LinuxFocusTyping::postUnicodeCharacter(WindowId control, char16_t unit) {
    if (!control)
        return;
    m_pending += QChar(unit);
    m_flushTimer.start();
}

void LinuxFocusTyping::postCharacter(WindowId control, unsigned char byte) {
    if (!control)
        return;
    if (m_lead < 0 && byte >= 0x80) {
        m_lead = byte;
        return;
    }
    if (m_lead < 0) {
        m_pending += QChar(byte);
    } else {
        static QTextCodec* const gbk = QTextCodec::codecForName("GBK");
        const char pair[2] = {static_cast<char>(m_lead), static_cast<char>(byte)};
        m_lead = -1;
        if (gbk)
            m_pending += gbk->toUnicode(pair, 2);
    }
    m_flushTimer.start();
}

void LinuxFocusTyping::flush() {
    m_flushTimer.stop();
    if (m_pending.isEmpty())
        return;
    const QString text = m_pending;
    m_pending.clear();
    switch (m_route) {
    case Route::X11:
        m_typer.typeText(text);
        break;
    case Route::VirtualKeyboard:
        if (!m_virtualKeyboard.typeText(text))
            qWarning("Text injection , the Wayland compositor closed the virtual keyboard, text not typed !");
        break;
    case Route::Portal:
        m_portal->typeText(text);
        break;
    case Route::None:
        break;
    }
}
