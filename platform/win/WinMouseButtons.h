#pragma once

#include "platform/MouseButtons.h"

// Global mouse buttons on Windows: a low-level mouse hook (WH_MOUSE_LL) installed by start() on
// the calling thread, whose message loop then delivers every mouse event of the desktop. Events
// are passed on to the next hook unchanged.
class WinMouseButtons : public MouseButtons {
    Q_OBJECT
public:
    using MouseButtons::MouseButtons;
    ~WinMouseButtons() override;

    bool start() override;

    // The message for a window message of the hook (WM_MBUTTONDOWN, …).
    static Message messageFor(unsigned int windowMessage);

private:
    void* m_hook = nullptr;
};
