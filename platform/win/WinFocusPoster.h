#pragma once

#include <string>

#include <windows.h>

// Typing into the focused control of another application without key strokes: one WM_CHAR per
// byte of the text's double-byte (GBK) encoding, posted through the ANSI message function. The
// receiving side joins a lead byte and its trail byte into one character of the ANSI code page.
class WinFocusPoster {
public:
    static HWND foregroundWindow();
    // The control with the keyboard focus in the window's thread, asked for while this thread's
    // input is attached to it; the attachment lasts for this one call.
    static HWND focusedControl(HWND foreground);
    static void postCharacter(HWND control, unsigned char byte);

    // The whole walk: foreground window, its focused control, then the bytes up to the first zero,
    // a lead byte (0x80 and above) always together with its trail byte. Nothing is posted without
    // a focused control.
    static void postText(const std::string& bytes);
};
