#pragma once

#include <cstdint>
#include <functional>
#include <memory>

// Typing into the focused control of another application, in the three steps the Windows API
// offers: find the foreground window, find its focused control (attach to its input thread, ask
// for the focus, detach), then post one character message per character unit.
class FocusTyping {
public:
    using WindowId = std::uintptr_t; // 0 = none

    virtual ~FocusTyping() = default;

    virtual WindowId foregroundWindow() = 0;
    virtual WindowId focusedControl(WindowId foreground) = 0;
    // Whether the control takes every character as UTF-16 (a Unicode window) rather than only the
    // bytes of the ANSI (GB2312) code page.
    virtual bool takesUnicode(WindowId control) = 0;
    // Posts one 8-bit character (a byte of the GB2312 text) to an ANSI control.
    virtual void postCharacter(WindowId control, unsigned char byte) = 0;
    // Posts one UTF-16 code unit to a Unicode control; a character beyond U+FFFF comes as its two
    // surrogates, in order.
    virtual void postUnicodeCharacter(WindowId control, char16_t unit) = 0;

    // Called once, when the desktop turns typing down for the rest of the run because the user
    // refused or cancelled its approval; the caller tells the user. Where nothing needs an
    // approval it is never called.
    virtual void setRefusalHandler(std::function<void()> handler) { (void)handler; }

    static std::unique_ptr<FocusTyping> create();
};
