#pragma once

#include "platform/FocusTyping.h"
#include "platform/linux/XTestTyper.h"

// Typing under X11: the focused window takes the place of the foreground window and its control;
// the posted GBK bytes are joined into characters (lead byte with its trail byte) and typed
// with XTest.
class LinuxFocusTyping : public FocusTyping {
public:
    WindowId foregroundWindow() override;
    WindowId focusedControl(WindowId foreground) override;
    void postCharacter(WindowId control, unsigned char byte) override;

private:
    XTestTyper m_typer;
    int m_lead = -1; // a lead byte waiting for its trail byte
};
