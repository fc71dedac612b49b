#pragma once

#include <cstdint>
#include <memory>

// Typing into the focused control of another application, in the three steps the Windows API
// offers: find the foreground window, find its focused control (attach to its input thread, ask
// for the focus, detach), then post one character message per byte.
class FocusTyping {
public:
    using WindowId = std::uintptr_t; // 0 = none

    virtual ~FocusTyping() = default;

    virtual WindowId foregroundWindow() = 0;
    virtual WindowId focusedControl(WindowId foreground) = 0;
    // Posts one 8-bit character (a byte of the GBK text) to the control.
    virtual void postCharacter(WindowId control, unsigned char byte) = 0;

    static std::unique_ptr<FocusTyping> create();
};
