#include "platform/win/WinFocusTyping.h"

#include <windows.h>

std::unique_ptr<FocusTyping> FocusTyping::create() {
    return std::make_unique<WinFocusTyping>();
}

FocusTyping::WindowId WinFocusTyping::foregroundWindow() {
    return reinterpret_cast<WindowId>(GetForegroundWindow());
}

FocusTyping::WindowId WinFocusTyping::focusedControl(WindowId foreground) {
    HWND window = reinterpret_cast<HWND>(foreground);
    const DWORD self = GetCurrentThreadId();
    const DWORD owner = GetWindowThreadProcessId(window, nullptr);
    // GetFocus only sees the focus of threads whose input is joined to ours; the join lasts for
    // this one call. The results of the joins are not needed: for a window of our own thread
    // they fail and GetFocus answers all the same.
    AttachThreadInput(owner, self, TRUE);
    HWND focus = GetFocus();
    AttachThreadInput(owner, self, FALSE);
    return reinterpret_cast<WindowId>(focus);
}

void WinFocusTyping::postCharacter(WindowId control, unsigned char byte) {
    PostMessageA(reinterpret_cast<HWND>(control), WM_CHAR, static_cast<WPARAM>(byte), 0);
}
