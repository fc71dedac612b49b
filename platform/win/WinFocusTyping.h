#pragma once

#include "platform/FocusTyping.h"

// Typing into another application's focused control through the Win32 focus walk and one
// WM_CHAR per byte (see WinFocusPoster).
class WinFocusTyping : public FocusTyping {
public:
    WindowId foregroundWindow() override;
    WindowId focusedControl(WindowId foreground) override;
    void postCharacter(WindowId control, unsigned char byte) override;
};
