#include "platform/linux/LinuxFocusTyping.h"

#include <QTextCodec>
#include <QVector>

std::unique_ptr<FocusTyping> FocusTyping::create() {
    return std::make_unique<LinuxFocusTyping>();
}

FocusTyping::WindowId LinuxFocusTyping::foregroundWindow() {
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
    if (m_lead < 0 && byte < 0x80) {
        m_typer.typeCharacter(byte);
        return;
    }
    if (m_lead < 0) {
        m_lead = byte;
        return;
    }
    const char pair[2] = {static_cast<char>(m_lead), static_cast<char>(byte)};
    m_lead = -1;
    static QTextCodec* const gbk = QTextCodec::codecForName("GBK");
    if (!gbk)
        return;
    const QVector<uint> characters = gbk->toUnicode(pair, 2).toUcs4();
    for (uint c : characters)
        m_typer.typeCharacter(c);
}
