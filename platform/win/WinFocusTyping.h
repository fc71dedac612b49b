#pragma once

#include "platform/FocusTyping.h"

// Typing into another application's focused control: the foreground window, its focused control
// taken while attached to the window's input thread, and one WM_CHAR per byte posted through the
// ANSI message function (the receiving thread joins a lead and a trail byte into one character
// of the system's ANSI code page).
class WinFocusTyping : public FocusTyping {
public:
    WindowId foregroundWindow() override;
    WindowId focusedControl(WindowId foreground) override;
    void postCharacter(WindowId control, unsigned char byte) override;
};
