#pragma once

#include "platform/FocusTyping.h"
#include "platform/linux/XTestTyper.h"

#include <QString>
#include <QTimer>

// Typing under X11: the focused window takes the place of the foreground window and its control.
// The posted GBK bytes are joined into characters (a lead byte with its trail byte), collected,
// and typed with XTest as soon as the poster returns to the event loop (so that a whole text is
// laid out on the keyboard map at once), like messages posted to a window.
class LinuxFocusTyping : public FocusTyping {
public:
    LinuxFocusTyping();
    ~LinuxFocusTyping() override;

    WindowId foregroundWindow() override;
    WindowId focusedControl(WindowId foreground) override;
    void postCharacter(WindowId control, unsigned char byte) override;

    // Types what has been posted and not yet typed.
    void flush();

private:
    XTestTyper m_typer;
    QString m_pending;
    int m_lead = -1; // a lead byte waiting for its trail byte
    QTimer m_flushTimer;
};
