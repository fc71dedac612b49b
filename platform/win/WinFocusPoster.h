#pragma once

#include <string>

#include <windows.h>

// Typing into the focused control of another application without key strokes. A Unicode window
// gets one WM_CHAR per UTF-16 unit of the text (a character beyond U+FFFF as its two surrogates),
// posted through the Unicode message function, and so every character. An ANSI window gets one
// WM_CHAR per byte of the text's double-byte (GB2312/GBK) encoding, posted through the ANSI
// message function; the receiving side joins a lead byte and its trail byte into one character of
// the ANSI code page.
class WinFocusPoster {
public:
    static HWND foregroundWindow();
    // The control with the keyboard focus in the window's thread, asked for while this thread's
    // input is attached to it; the attachment lasts for this one call.
    static HWND focusedControl(HWND foreground);
    // Whether the control's window procedure takes Unicode characters.
    static bool takesUnicode(HWND control);
    static void postCharacter(HWND control, unsigned char byte);
    static void postUnicodeCharacter(HWND control, wchar_t unit);

    // The whole walk: foreground window, its focused control, then the bytes up to the first zero,
    // a lead byte (0x80 and above) always together with its trail byte. Nothing is posted without
    // a focused control.
    static void postText(const std::string& bytes);
    // The same for a text: its UTF-16 units up to the first zero to a Unicode control, its bytes
    // in the ANSI code page to any other.
    static void postText(const std::wstring& text);
};
