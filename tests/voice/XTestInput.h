#pragma once

#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>

// Mouse input faked through the XTest extension on a connection of the test's own, as a real
// mouse would produce it.
class XTestInput {
public:
    XTestInput() : m_display(XOpenDisplay(nullptr)) {}
    ~XTestInput() {
        if (m_display)
            XCloseDisplay(m_display);
    }
    XTestInput(const XTestInput&) = delete;
    XTestInput& operator=(const XTestInput&) = delete;

    bool isOpen() const { return m_display != nullptr; }
    Display* display() const { return m_display; }

    void button(unsigned int button, bool press) {
        XTestFakeButtonEvent(m_display, button, press ? True : False, CurrentTime);
        XFlush(m_display);
    }
    void click(unsigned int number) {
        button(number, true);
        button(number, false);
    }
    void moveTo(int x, int y) {
        XTestFakeMotionEvent(m_display, -1, x, y, CurrentTime);
        XFlush(m_display);
    }

private:
    Display* m_display;
};
