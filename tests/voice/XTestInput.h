#pragma once

#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>

// Mouse input faked through the XTest extension on a connection of the test's own, as a real
// mouse would produce it.
struct XTestInput {
    Display* const display = XOpenDisplay(nullptr);

    ~XTestInput() {
        if (display)
            XCloseDisplay(display);
    }
    void button(unsigned int button, bool press) {
        XTestFakeButtonEvent(display, button, press, CurrentTime);
        XSync(display, False);
    }
    void click(unsigned int number) {
        button(number, true);
        button(number, false);
    }
    void moveTo(int x, int y) {
        XTestFakeMotionEvent(display, -1, x, y, CurrentTime);
        XSync(display, False);
    }
};
