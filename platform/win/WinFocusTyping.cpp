#include "platform/win/WinFocusTyping.h"

#include "platform/win/WinFocusPoster.h"

std::unique_ptr<FocusTyping> FocusTyping::create() {
    return std::make_unique<WinFocusTyping>();
}

FocusTyping::WindowId WinFocusTyping::foregroundWindow() {
    return reinterpret_cast<WindowId>(WinFocusPoster::foregroundWindow());
}

FocusTyping::WindowId WinFocusTyping::focusedControl(WindowId foreground) {
    return reinterpret_cast<WindowId>(WinFocusPoster::focusedControl(reinterpret_cast<HWND>(foreground)));
}

bool WinFocusTyping::takesUnicode(WindowId control) {
    return WinFocusPoster::takesUnicode(reinterpret_cast<HWND>(control));
}

void WinFocusTyping::postCharacter(WindowId control, unsigned char byte) {
    WinFocusPoster::postCharacter(reinterpret_cast<HWND>(control), byte);
}

void WinFocusTyping::postUnicodeCharacter(WindowId control, char16_t unit) {
    WinFocusPoster::postUnicodeCharacter(reinterpret_cast<HWND>(control), static_cast<wchar_t>(unit));
}
