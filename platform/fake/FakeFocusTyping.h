#pragma once

#include "platform/FocusTyping.h"

#include <QByteArray>
#include <QString>

// Records what is posted to the focused control: bytes to an ANSI control, UTF-16 units to a
// Unicode one (unicode decides which the control is).
class FakeFocusTyping : public FocusTyping {
public:
    WindowId foreground = 1;
    WindowId focus = 2;
    bool unicode = false;
    QByteArray posted;
    QString postedUnicode;
    WindowId lastControl = 0;

    WindowId foregroundWindow() override { return foreground; }
    WindowId focusedControl(WindowId window) override { return window == foreground ? focus : 0; }
    bool takesUnicode(WindowId) override { return unicode; }
    void postCharacter(WindowId control, unsigned char byte) override {
        lastControl = control;
        posted.append(static_cast<char>(byte));
    }
    void postUnicodeCharacter(WindowId control, char16_t unit) override {
        lastControl = control;
        postedUnicode.append(QChar(unit));
    }
};
