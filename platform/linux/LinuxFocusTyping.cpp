#include "platform/linux/LinuxFocusTyping.h"

#include <QTextCodec>

std::unique_ptr<FocusTyping> FocusTyping::create() {
    return std::make_unique<LinuxFocusTyping>();
}

LinuxFocusTyping::LinuxFocusTyping() {
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
    return m_typer.focusWindow();
}

FocusTyping::WindowId LinuxFocusTyping::focusedControl(WindowId foreground) {
    // X keeps one focus window; key events go there.
    return foreground;
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
    m_typer.typeText(text);
}
