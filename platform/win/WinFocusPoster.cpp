#include "platform/win/WinFocusPoster.h"

#include <cstring>

HWND WinFocusPoster::foregroundWindow() {
    return GetForegroundWindow();
}

HWND WinFocusPoster::focusedControl(HWND foreground) {
    const DWORD self = GetCurrentThreadId();
    const DWORD owner = GetWindowThreadProcessId(foreground, nullptr);
    // GetFocus only sees the focus of threads whose input is joined to ours. For a window of our
    // own thread the joins fail and GetFocus answers all the same, so their results are not needed.
    AttachThreadInput(self, owner, TRUE);
    HWND focus = GetFocus();
    AttachThreadInput(self, owner, FALSE);
    return focus;
}

bool WinFocusPoster::takesUnicode(HWND control) {
    return IsWindowUnicode(control) != FALSE;
}

void WinFocusPoster::postCharacter(HWND control, unsigned char byte) {
    PostMessageA(control, WM_CHAR, static_cast<WPARAM>(byte), 0);
}

void WinFocusPoster::postUnicodeCharacter(HWND control, wchar_t unit) {
    PostMessageW(control, WM_CHAR, static_cast<WPARAM>(static_cast<unsigned short>(unit)), 0);
}

void WinFocusPoster::postText(const std::string& bytes) {
    const size_t n = std::strlen(bytes.c_str());
    HWND foreground = foregroundWindow();
    if (!foreground)
        return;
    HWND control = focusedControl(foreground);
    if (!control)
        return;
    for (size_t i = 0; i < n;) {
        const auto byte = static_cast<unsigned char>(bytes[i]);
        if (byte < 0x80) {
            postCharacter(control, byte);
            i += 1;
            continue;
        }
        // A lead byte without a trail byte is not posted: the message side would hold it and
        // join it with the first byte of the next text.
        if (i + 1 < n) {
            postCharacter(control, byte);
            postCharacter(control, static_cast<unsigned char>(bytes[i + 1]));
        }
        i += 2;
    }
}

void WinFocusPoster::postText(const std::wstring& text) {
    HWND foreground = foregroundWindow();
    HWND control = foreground ? focusedControl(foreground) : nullptr;
    if (!control)
        return;
    if (!takesUnicode(control)) {
        const int n = WideCharToMultiByte(CP_ACP, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
        std::string bytes(n > 0 ? size_t(n) : 0, '\0');
        if (n > 0)
            WideCharToMultiByte(CP_ACP, 0, text.c_str(), -1, &bytes[0], n, nullptr, nullptr);
        postText(bytes);
        return;
    }
    for (const wchar_t* unit = text.c_str(); *unit; ++unit)
        postUnicodeCharacter(control, *unit);
}
