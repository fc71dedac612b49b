#pragma once

#include "platform/MouseButtons.h"

// Mouse events that a test sends by hand.
class FakeMouseButtons : public MouseButtons {
    Q_OBJECT
public:
    using MouseButtons::MouseButtons;

    bool startResult = true;
    int startCalls = 0;

    bool start() override {
        ++startCalls;
        return startResult;
    }
    void send(Message message) { emit mouseMessage(message); }
    // As a backend that found the mouse's devices unreadable (or readable again).
    static void denyDeviceAccess(bool denied) { setDeviceAccessDenied(denied); }
};
