#pragma once

#include "platform/MouseButtons.h"

class QSocketNotifier;
typedef struct _XDisplay Display;

// Global mouse buttons on X11: XInput2 raw button events of all master devices, selected on the
// root window over a connection of its own and read through a socket notifier on the event loop
// of the thread that calls start(). Raw events are only copies: nothing is grabbed, every click
// still reaches its window. Button 2 is the middle button, 8 and 9 are the side keys; other
// buttons (left, right, wheel) arrive as Other.
class LinuxMouseButtons : public MouseButtons {
    Q_OBJECT
public:
    using MouseButtons::MouseButtons;
    ~LinuxMouseButtons() override;

    bool start() override;

    // The message for a raw button event; public for the tests.
    static Message messageFor(int button, bool press);

private:
    void readEvents();

    Display* m_display = nullptr;
    QSocketNotifier* m_notifier = nullptr;
    int m_opcode = 0;
};
