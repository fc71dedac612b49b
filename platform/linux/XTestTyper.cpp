#include "platform/linux/XTestTyper.h"

#include <QtDebug>
#include <atomic>
#include <chrono>
#include <thread>

#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

namespace {
std::atomic<bool> g_warned{false};

void warnOnce(const char* message) {
    if (!g_warned.exchange(true))
        qWarning("%s", message);
}

// The keysym that stands for a character: Latin-1 characters have their own, all others the
// Unicode range of keysyms.
unsigned long keysymFor(char32_t c) {
    if ((c >= 0x20 && c <= 0x7e) || (c >= 0xa0 && c <= 0xff))
        return c;
    return 0x1000000UL + c;
}
} // namespace

XTestTyper::XTestTyper() {
    m_restoreTimer.setSingleShot(true);
    m_restoreTimer.setInterval(kRestoreDelayMs);
    QObject::connect(&m_restoreTimer, &QTimer::timeout, [this] { restoreKeycodes(); });
}

XTestTyper::~XTestTyper() {
    if (!m_display)
        return;
    restoreKeycodes();
    XCloseDisplay(m_display);
}

bool XTestTyper::open() {
    if (m_display)
        return true;
    if (m_tried)
        return false;
    m_tried = true;
    m_display = XOpenDisplay(nullptr);
    if (!m_display) {
        warnOnce("Text injection , no X display, recognised text is not typed !");
        return false;
    }
    int eventBase = 0, errorBase = 0, major = 0, minor = 0;
    if (!XTestQueryExtension(m_display, &eventBase, &errorBase, &major, &minor)) {
        warnOnce("Text injection , X server lacks the XTest extension, recognised text is not typed !");
        XCloseDisplay(m_display);
        m_display = nullptr;
        return false;
    }
    return true;
}

unsigned long XTestTyper::focusWindow() {
    if (!open())
        return 0;
    Window focus = 0;
    int revert = 0;
    XGetInputFocus(m_display, &focus, &revert);
    return focus == None ? 0 : static_cast<unsigned long>(focus);
}

void XTestTyper::readKeymap() {
    m_keymap.clear();
    m_spare.clear();
    m_nextSpare = 0;
    // Drop the mapping notices our own remaps produced.
    while (XPending(m_display)) {
        XEvent event;
        XNextEvent(m_display, &event);
    }
    int minCode = 0, maxCode = 0, perCode = 0;
    XDisplayKeycodes(m_display, &minCode, &maxCode);
    KeySym* syms = XGetKeyboardMapping(m_display, static_cast<KeyCode>(minCode), maxCode - minCode + 1, &perCode);
    if (!syms)
        return;
    for (int code = minCode; code <= maxCode; ++code) {
        const KeySym* row = syms + (code - minCode) * perCode;
        bool empty = true;
        for (int col = 0; col < perCode; ++col)
            empty = empty && row[col] == NoSymbol;
        if (empty) {
            m_spare.append(static_cast<unsigned char>(code));
            continue;
        }
        // Only the first group's two levels can be reached with Shift alone.
        for (int col = 0; col < qMin(perCode, 2); ++col) {
            const KeySym sym = row[col];
            if (sym == NoSymbol || m_keymap.contains(sym))
                continue;
            m_keymap.insert(sym, Key{static_cast<unsigned char>(code), col == 1});
        }
    }
    XFree(syms);
    m_shiftKeycode = XKeysymToKeycode(m_display, XK_Shift_L);
    XkbStateRec state;
    m_capsLock = XkbGetState(m_display, XkbUseCoreKbd, &state) == Success && (state.locked_mods & LockMask);
    m_keymapFresh = true;
}

void XTestTyper::tap(unsigned char keycode, bool shift) {
    if (shift && m_shiftKeycode)
        XTestFakeKeyEvent(m_display, m_shiftKeycode, True, CurrentTime);
    XTestFakeKeyEvent(m_display, keycode, True, CurrentTime);
    XTestFakeKeyEvent(m_display, keycode, False, CurrentTime);
    if (shift && m_shiftKeycode)
        XTestFakeKeyEvent(m_display, m_shiftKeycode, False, CurrentTime);
    XSync(m_display, False);
}

unsigned char XTestTyper::borrowKeycode(unsigned long keysym) {
    const auto known = m_borrowedBySym.constFind(keysym);
    if (known != m_borrowedBySym.constEnd())
        return known.value();
    if (m_spare.isEmpty())
        return 0;
    const unsigned char keycode = m_spare.at(m_nextSpare);
    m_nextSpare = (m_nextSpare + 1) % m_spare.size();
    const auto previous = m_borrowedByKey.constFind(keycode);
    if (previous != m_borrowedByKey.constEnd())
        m_borrowedBySym.remove(previous.value());
    KeySym both[2] = {keysym, keysym};
    XChangeKeyboardMapping(m_display, keycode, 2, both, 1);
    XSync(m_display, False);
    // Give the clients time to read the new map before the key arrives.
    std::this_thread::sleep_for(std::chrono::microseconds(kRemapPauseUs));
    m_borrowedBySym.insert(keysym, keycode);
    m_borrowedByKey.insert(keycode, keysym);
    return keycode;
}

void XTestTyper::typeCharacter(char32_t c) {
    if (c < 0x20 || c == 0x7f || (c >= 0x80 && c < 0xa0) || (c >= 0xd800 && c < 0xe000) || c > 0x10ffff)
        return;
    if (!open())
        return;
    if (!m_keymapFresh)
        readKeymap();

    const unsigned long keysym = keysymFor(c);
    const auto key = m_keymap.constFind(keysym);
    if (key != m_keymap.constEnd()) {
        bool shift = key->shifted;
        KeySym lower = 0, upper = 0;
        XConvertCase(keysym, &lower, &upper);
        if (m_capsLock && lower != upper)
            shift = !shift;
        tap(key->keycode, shift);
    } else {
        const unsigned char keycode = borrowKeycode(keysym);
        if (!keycode) {
            qWarning("Text injection , no spare keycode for a character, it is skipped !");
            return;
        }
        tap(keycode, false);
    }
    m_lastUse.start();
    m_restoreTimer.start();
}

void XTestTyper::restoreKeycodes() {
    m_restoreTimer.stop();
    if (!m_display || m_borrowedByKey.isEmpty())
        return;
    if (m_lastUse.isValid()) {
        const qint64 left = kRestoreDelayMs - m_lastUse.elapsed();
        if (left > 0)
            std::this_thread::sleep_for(std::chrono::milliseconds(left));
    }
    KeySym none[2] = {NoSymbol, NoSymbol};
    for (auto it = m_borrowedByKey.constBegin(); it != m_borrowedByKey.constEnd(); ++it)
        XChangeKeyboardMapping(m_display, it.key(), 2, none, 1);
    XSync(m_display, False);
    m_borrowedByKey.clear();
    m_borrowedBySym.clear();
    // The next text starts from the keymap as it then is.
    m_keymapFresh = false;
}
