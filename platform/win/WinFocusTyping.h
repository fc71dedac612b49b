#pragma once

#include "platform/FocusTyping.h"

// Typing into another application's focused control through the Win32 focus walk: one WM_CHAR
// per UTF-16 unit to a Unicode window, per GB2312 byte to an ANSI one (see WinFocusPoster).
class WinFocusTyping : public FocusTyping {
public:
    WindowId foregroundWindow() override;
    WindowId focusedControl(WindowId foreground) override;
    bool takesUnicode(WindowId control) override;
    void postCharacter(WindowId control, unsigned char byte) override;
    void postUnicodeCharacter(WindowId control, char16_t unit) override;
};
