#pragma once

#include "platform/FocusTyping.h"

#include <QByteArray>

// Records the bytes posted to the focused control.
class FakeFocusTyping : public FocusTyping {
public:
    WindowId foreground = 1;
    WindowId focus = 2;
    QByteArray posted;
    WindowId lastControl = 0;

    WindowId foregroundWindow() override { return foreground; }
    WindowId focusedControl(WindowId window) override { return window == foreground ? focus : 0; }
    void postCharacter(WindowId control, unsigned char byte) override {
        lastControl = control;
        posted.append(static_cast<char>(byte));
    }
};
