#include "platform/win/WinMouseButtons.h"

#include <windows.h>

std::unique_ptr<MouseButtons> MouseButtons::create() {
    return std::make_unique<WinMouseButtons>();
}

// The one hook of the process reports to the object that installed it; the hook procedure runs
// on that object's thread.
static WinMouseButtons* s_receiver = nullptr;

static LRESULT CALLBACK mouseHookProc(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HC_ACTION && s_receiver)
        emit s_receiver->mouseMessage(WinMouseButtons::messageFor(static_cast<unsigned int>(wParam)));
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

MouseButtons::Message WinMouseButtons::messageFor(unsigned int windowMessage) {
    switch (windowMessage) {
    case WM_MBUTTONDOWN:
        return MiddleDown;
    case WM_MBUTTONUP:
        return MiddleUp;
    case WM_XBUTTONDOWN: // either extended button
        return SideDown;
    case WM_XBUTTONUP:
        return SideUp;
    default:
        return Other;
    }
}

bool WinMouseButtons::start() {
    if (m_hook)
        return true;
    HHOOK hook = SetWindowsHookExW(WH_MOUSE_LL, mouseHookProc, GetModuleHandleW(nullptr), 0);
    if (!hook)
        return false;
    m_hook = hook;
    s_receiver = this;
    return true;
}

WinMouseButtons::~WinMouseButtons() {
    if (m_hook) {
        UnhookWindowsHookEx(static_cast<HHOOK>(m_hook));
        if (s_receiver == this)
            s_receiver = nullptr;
    }
}
