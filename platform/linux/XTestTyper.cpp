#include "platform/linux/XTestTyper.h"

#include <QSet>
#include <QtDebug>
#include <atomic>
#include <chrono>
#include <poll.h>
#include <thread>
#include <unistd.h>

#include <X11/XKBlib.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

namespace {
// Each of these is told once per run.
std::atomic<bool> g_warnedNoServer{false};
std::atomic<bool> g_warnedNoKeycode{false};

void warnOnce(std::atomic<bool>& warned, const char* message) {
    if (!warned.exchange(true))
        qWarning("%s", message);
}

// Tab and new line are typed with their keys; other control characters are left out.
bool isControl(uint c) {
    if (c == '\t' || c == '\n')
        return false;
    return c < 0x20 || c == 0x7f || (c >= 0x80 && c < 0xa0) || c > 0x10ffff || (c >= 0xd800 && c < 0xe000);
}

// The keysym that stands for a character: Latin-1 characters have their own, all others the
// Unicode range of keysyms.
unsigned long keysymFor(uint c) {
    if (c == '\t')
        return XK_Tab;
    if (c == '\n')
        return XK_Return;
    if ((c >= 0x20 && c <= 0x7e) || (c >= 0xa0 && c <= 0xff))
        return c;
    return 0x1000000UL + c;
}

void sleepMs(qint64 ms) {
    if (ms > 0)
        std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}
} // namespace

XTestTyper::XTestTyper() {
    m_clock.start();
    m_restoreTimer.setSingleShot(true);
    m_restoreTimer.setInterval(kRestoreDelayMs);
    QObject::connect(&m_restoreTimer, &QTimer::timeout, [this] { restoreKeycodes(); });
    m_continueTimer.setSingleShot(true);
    m_continueTimer.setInterval(kSettleMs);
    QObject::connect(&m_continueTimer, &QTimer::timeout, [this] {
        m_turnGiven = true;
        typeQueued(false);
    });
}

XTestTyper::~XTestTyper() {
    if (!m_display)
        return;
    if (!m_queue.isEmpty())
        typeQueued(true);
    restoreKeycodes();
    m_watch.stop();
    freeKeymap();
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
        warnOnce(g_warnedNoServer, "Text injection , no X display, recognised text is not typed !");
        return false;
    }
    int eventBase = 0, errorBase = 0, major = 0, minor = 0, opcode = 0;
    int xkbMajor = XkbMajorVersion, xkbMinor = XkbMinorVersion;
    if (!XTestQueryExtension(m_display, &eventBase, &errorBase, &major, &minor) ||
        !XkbQueryExtension(m_display, &opcode, &eventBase, &errorBase, &xkbMajor, &xkbMinor)) {
        warnOnce(
            g_warnedNoServer,
            "Text injection , X server lacks the XTest or XKB extension, recognised text is not typed !");
        XCloseDisplay(m_display);
        m_display = nullptr;
        return false;
    }
    m_xkbOpcode = opcode;
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

unsigned long XTestTyper::windowUnderPointer(bool innermost) {
    Window root = 0, child = 0, window = DefaultRootWindow(m_display), found = 0;
    int rootX = 0, rootY = 0, x = 0, y = 0;
    unsigned int mask = 0;
    // A window manager's frame belongs to the manager; the innermost window to the application.
    while (XQueryPointer(m_display, window, &root, &child, &rootX, &rootY, &x, &y, &mask) && child) {
        found = window = child;
        if (!innermost)
            break;
    }
    return found;
}

bool XTestTyper::ownDisplayOnlyWindow(unsigned long window) {
    if (!window)
        return false;
    XWMHints* hints = XGetWMHints(m_display, window);
    const bool takesKeys = !hints || !(hints->flags & InputHint) || hints->input;
    if (hints)
        XFree(hints);
    return !takesKeys && ownWindow(window);
}

bool XTestTyper::ownWindow(unsigned long window) {
    const Atom pidAtom = XInternAtom(m_display, "_NET_WM_PID", False);
    while (window > 1) {
        Atom type = 0;
        int format = 0;
        unsigned long count = 0, after = 0;
        unsigned char* data = nullptr;
        if (XGetWindowProperty(m_display, window, pidAtom, 0, 1, False, XA_CARDINAL, &type, &format, &count,
                               &after, &data) == Success &&
            data && type == XA_CARDINAL) {
            const bool own =
                format == 32 && count == 1 && *reinterpret_cast<unsigned long*>(data) == ulong(getpid());
            XFree(data);
            return own;
        }
        if (data)
            XFree(data);
        Window root = 0, parent = 0;
        Window* children = nullptr;
        unsigned int childCount = 0;
        if (!XQueryTree(m_display, window, &root, &parent, &children, &childCount))
            return false;
        if (children)
            XFree(children);
        if (parent == root)
            return false;
        window = parent;
    }
    return false;
}

void XTestTyper::sendKeySyms(int first, int last) {
    XkbMapChangesRec changes = {};
    changes.changed = XkbKeySymsMask;
    changes.first_key_sym = static_cast<KeyCode>(first);
    changes.num_key_syms = static_cast<unsigned char>(last - first + 1);
    XkbChangeMap(m_display, m_xkb, &changes);
    XSync(m_display, False);
}

void XTestTyper::beforeChange() {
    if (!m_slotPressedSinceChange)
        return;
    m_slotPressedSinceChange = false;
    if (m_watch.active() && !m_watchFailed) {
        // A client seen reading the map before is only busy (a long text in its field, a loaded
        // machine): wait for it longer rather than change the map under its unread presses.
        if (m_watch.waitFetched(m_fetchSeen ? kBusyFetchTimeoutMs : kFetchTimeoutMs)) {
            m_fetchSeen = true;
            return;
        }
        qWarning("Text injection , focused window did not read the keyboard map, typing slower !");
        m_watchFailed = true;
    }
    sleepMs(m_lastSlotPress + kSettleMs - m_clock.elapsed());
}

void XTestTyper::freeKeymap() {
    if (m_xkb)
        XkbFreeKeyboard(m_xkb, 0, True);
    m_xkb = nullptr;
}

bool XTestTyper::readKeymap() {
    m_keymap.clear();
    m_slots.clear();
    m_slotBySym.clear();
    freeKeymap();
    // Drop the mapping notices our own changes produced.
    while (XPending(m_display)) {
        XEvent event;
        XNextEvent(m_display, &event);
    }
    m_xkb = XkbGetMap(m_display, XkbKeyTypesMask | XkbKeySymsMask, XkbUseCoreKbd);
    if (!m_xkb || !m_xkb->map) {
        qWarning("Text injection , keyboard map unreadable !");
        return false;
    }
    for (int code = m_xkb->min_key_code; code <= m_xkb->max_key_code; ++code) {
        const auto keycode = static_cast<unsigned char>(code);
        if (XkbKeyNumSyms(m_xkb, keycode) == 0) {
            m_slots.append(Slot{keycode, false});
            m_slots.append(Slot{keycode, true});
        }
    }
    int minCode = 0, maxCode = 0, perCode = 0;
    XDisplayKeycodes(m_display, &minCode, &maxCode);
    KeySym* syms =
        XGetKeyboardMapping(m_display, static_cast<KeyCode>(minCode), maxCode - minCode + 1, &perCode);
    if (syms) {
        for (int code = minCode; code <= maxCode; ++code) {
            const KeySym* row = syms + (code - minCode) * perCode;
            // Only the first group's two levels are reached with Shift alone.
            for (int col = 0; col < qMin(perCode, 2); ++col) {
                if (row[col] != NoSymbol && !m_keymap.contains(row[col]))
                    m_keymap.insert(row[col], Key{static_cast<unsigned char>(code), col == 1});
            }
        }
        XFree(syms);
    }
    m_shiftKeycode = XKeysymToKeycode(m_display, XK_Shift_L);
    XkbStateRec state;
    m_capsLock = XkbGetState(m_display, XkbUseCoreKbd, &state) == Success && (state.locked_mods & LockMask);
    m_keymapFresh = true;
    return true;
}

void XTestTyper::tap(unsigned char keycode, bool shift) {
    if (shift && m_shiftKeycode)
        XTestFakeKeyEvent(m_display, m_shiftKeycode, True, CurrentTime);
    XTestFakeKeyEvent(m_display, keycode, True, CurrentTime);
    XTestFakeKeyEvent(m_display, keycode, False, CurrentTime);
    if (shift && m_shiftKeycode)
        XTestFakeKeyEvent(m_display, m_shiftKeycode, False, CurrentTime);
    XSync(m_display, False);
    m_lastPress = m_clock.elapsed();
}

void XTestTyper::applySlots(const QVector<int>& changed) {
    int first = 255, last = 0;
    for (int index : changed) {
        // Both slots of a keycode are written together; the other one keeps its character.
        const unsigned char keycode = m_slots.at(index).keycode;
        const int base = index & ~1;
        const KeySym plain = m_slots.at(base).keysym;
        const KeySym shifted = m_slots.at(base + 1).keysym ? m_slots.at(base + 1).keysym : plain;
        KeySym* syms = XkbResizeKeySyms(m_xkb, keycode, 2);
        if (!syms)
            continue;
        syms[0] = plain ? plain : shifted;
        syms[1] = shifted;
        XkbSymMapPtr map = &m_xkb->map->key_sym_map[keycode];
        map->kt_index[0] = XkbTwoLevelIndex;
        map->group_info = XkbSetNumGroups(0, 1);
        map->width = 2;
        first = qMin<int>(first, keycode);
        last = qMax<int>(last, keycode);
    }
    if (first > last)
        return;
    beforeChange();
    sendKeySyms(first, last);
    m_watch.changed();
    m_borrowed = true;
    // Give the clients time to read the new map before its keys arrive.
    std::this_thread::sleep_for(std::chrono::microseconds(kRemapPauseUs));
}

void XTestTyper::mapAhead(const QVector<uint>& text, int from) {
    // The characters to hold: distinct, not on the keyboard, in the order they come.
    QVector<unsigned long> wanted;
    QSet<unsigned long> wantedSet;
    for (int i = from; i < text.size() && wanted.size() < m_slots.size(); ++i) {
        if (isControl(text.at(i)))
            continue;
        const unsigned long keysym = keysymFor(text.at(i));
        if (m_keymap.contains(keysym) || wantedSet.contains(keysym))
            continue;
        wanted.append(keysym);
        wantedSet.insert(keysym);
    }
    // Free slots: never used ones first, then those pressed longest ago.
    QVector<int> free;
    for (int s = 0; s < m_slots.size(); ++s) {
        if (!wantedSet.contains(m_slots.at(s).keysym) || m_slots.at(s).keysym == 0)
            free.append(s);
    }
    std::stable_sort(free.begin(), free.end(),
                     [this](int a, int b) { return m_slots.at(a).lastPress < m_slots.at(b).lastPress; });
    QVector<int> changed;
    int next = 0;
    for (unsigned long keysym : std::as_const(wanted)) {
        if (m_slotBySym.contains(keysym) || next >= free.size())
            continue;
        Slot& slot = m_slots[free.at(next++)];
        if (slot.keysym)
            m_slotBySym.remove(slot.keysym);
        slot.keysym = keysym;
        slot.lastPress = -1;
        m_slotBySym.insert(keysym, int(&slot - m_slots.data()));
        changed.append(int(&slot - m_slots.data()));
    }
    if (changed.isEmpty())
        return;
    applySlots(changed);
}

void XTestTyper::typeText(const QString& text) {
    if (text.isEmpty() || !open())
        return;
    const bool idle = m_queue.isEmpty();
    // CR LF and a lone CR are one new line each.
    m_queue += QString(text).replace(QLatin1String("\r\n"), QLatin1String("\n")).replace('\r', '\n').toUcs4();
    // A text still waiting for a window of this program is continued by its timer.
    if (idle)
        typeQueued(false);
}

void XTestTyper::typeQueued(bool finish) {
    m_continueTimer.stop();
    if (!m_keymapFresh && !readKeymap()) {
        m_queue.clear();
        return;
    }
    const unsigned long focus = focusWindow();
    // With the focus following the pointer (PointerRoot, or the root window), the keys go to the
    // window under the pointer. One of our windows that take no keyboard input (a notice, the
    // recorder window) would swallow them, or hand them to whichever of our windows has Qt's
    // focus: the text waits, with any that follow it, until it is gone or the pointer has moved.
    const bool followsPointer = focus == PointerRoot || focus == DefaultRootWindow(m_display);
    if (followsPointer && ownDisplayOnlyWindow(windowUnderPointer())) {
        if (!m_waitingForPointer)
            qDebug("Text injection , a window of this program lies under the pointer, typing waits");
        m_waitingForPointer = true;
        m_continueTimer.start();
        return;
    }
    m_waitingForPointer = false;
    // The client whose map reads are watched: the focused window's, or the one under the pointer.
    const unsigned long target = followsPointer ? windowUnderPointer(true) : focus;
    if (target > 1 && target != m_watch.window()) {
        m_ownWindow = ownWindow(target);
        // A window of this program reads nothing while we type on its thread: it is given
        // turns of the event loop instead of being waited for.
        if (m_ownWindow) {
            m_watch.stop();
            m_watchFailed = true;
        } else if (!m_watch.start(m_display, target, m_xkbOpcode)) {
            m_watchFailed = true;
        }
        m_fetchSeen = false;
    }
    const QVector<uint>& characters = m_queue;
    for (int i = 0; i < characters.size(); ++i) {
        const uint c = characters.at(i);
        if (isControl(c))
            continue;
        const unsigned long keysym = keysymFor(c);
        const auto key = m_keymap.constFind(keysym);
        if (key != m_keymap.constEnd()) {
            bool shift = key->shifted;
            KeySym lower = 0, upper = 0;
            XConvertCase(keysym, &lower, &upper);
            if (m_capsLock && lower != upper)
                shift = !shift;
            tap(key->keycode, shift);
            continue;
        }
        if (!m_slotBySym.contains(keysym)) {
            if (m_ownWindow && m_slotPressedSinceChange && !finish && !m_turnGiven) {
                m_queue = m_queue.mid(i);
                m_continueTimer.start();
                return;
            }
            m_turnGiven = false;
            mapAhead(characters, i);
        }
        const auto slot = m_slotBySym.constFind(keysym);
        if (slot == m_slotBySym.constEnd()) {
            warnOnce(g_warnedNoKeycode,
                     "Text injection , no spare keycode to type a character, it is skipped !");
            continue;
        }
        Slot& s = m_slots[slot.value()];
        tap(s.keycode, s.shifted);
        s.lastPress = m_lastPress;
        m_lastSlotPress = m_lastPress;
        m_slotPressedSinceChange = true;
    }
    m_queue.clear();
    m_restoreTimer.start();
}

void XTestTyper::restoreKeycodes() {
    m_restoreTimer.stop();
    if (!m_display || !m_borrowed || !m_xkb)
        return;
    if (m_lastPress >= 0)
        sleepMs(m_lastPress + kRestoreDelayMs - m_clock.elapsed());
    beforeChange();
    int first = 255, last = 0;
    for (const Slot& slot : std::as_const(m_slots)) {
        if (slot.shifted)
            continue;
        XkbResizeKeySyms(m_xkb, slot.keycode, 0);
        XkbSymMapPtr map = &m_xkb->map->key_sym_map[slot.keycode];
        map->kt_index[0] = XkbOneLevelIndex;
        map->group_info = 0;
        map->width = 0;
        first = qMin<int>(first, slot.keycode);
        last = qMax<int>(last, slot.keycode);
    }
    if (first <= last)
        sendKeySyms(first, last);
    m_borrowed = false;
    m_watch.stop();
    m_watchFailed = false;
    m_ownWindow = false;
    // The next text starts from the keymap as it then is.
    m_keymapFresh = false;
}
