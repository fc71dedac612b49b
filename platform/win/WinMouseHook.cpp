#include "platform/win/WinMouseHook.h"

#include <utility>

// The object that holds the hook; the procedure runs on its thread.
static WinMouseHook* s_holder = nullptr;

WinMouseHook::WinMouseHook(Receiver receiver) : m_receiver(std::move(receiver)) {}

WinMouseHook::~WinMouseHook() {
    if (!m_hook)
        return;
    UnhookWindowsHookEx(m_hook);
    s_holder = nullptr;
}

bool WinMouseHook::install() {
    if (m_hook)
        return true;
    if (s_holder)
        return false;
    m_hook = SetWindowsHookExW(WH_MOUSE_LL, procedure, GetModuleHandleW(nullptr), 0);
    if (!m_hook)
        return false;
    s_holder = this;
    return true;
}

WinMouseHook::Button WinMouseHook::buttonFor(UINT message) {
    switch (message) {
    case WM_MBUTTONDOWN:
        return MiddleDown;
    case WM_MBUTTONUP:
        return MiddleUp;
    case WM_XBUTTONDOWN:
        return SideDown;
    case WM_XBUTTONUP:
        return SideUp;
    default:
        return Other;
    }
}

LRESULT CALLBACK WinMouseHook::procedure(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HC_ACTION && s_holder && s_holder->m_receiver)
        s_holder->m_receiver(buttonFor(static_cast<UINT>(wParam)));
    // Observed only: the event goes on unchanged.
    return CallNextHookEx(nullptr, code, wParam, lParam);
}
