#pragma once

#include "platform/MouseButtons.h"
#include "platform/win/WinMouseHook.h"

// Global mouse buttons on Windows: the low-level mouse hook, installed by start() on the calling
// thread, whose message loop then delivers every mouse event of the desktop as a signal.
class WinMouseButtons : public MouseButtons {
    Q_OBJECT
public:
    explicit WinMouseButtons(QObject* parent = nullptr);

    bool start() override;

private:
    WinMouseHook m_hook;
};
