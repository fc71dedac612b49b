#pragma once

#include <QElapsedTimer>
#include <QHash>
#include <QString>
#include <QTimer>
#include <QVector>

#include "platform/linux/KeymapFetchWatch.h"

struct _XDisplay;
struct _XkbDesc;

// Types Unicode text into whatever window has the X input focus, with the XTest extension, on a
// connection of its own. Characters on the keyboard map are typed with their key (and Shift
// where needed). The others are given to the spare keycodes (two per keycode, the second reached
// with Shift): a whole run of upcoming characters at once, in one keymap change, because every
// change makes each client re-read its keymap. After key presses on borrowed keycodes the map is
// changed again only once the focused client has fetched the map of the previous change (seen
// with the RECORD extension), so that no press is read with a later map; where that cannot be
// seen, a settle time stands in. All keycodes are given back once nothing has been typed for a
// while. Nothing but the characters' own keys (and Shift) is pressed.
class XTestTyper {
public:
    XTestTyper();
    ~XTestTyper();
    XTestTyper(const XTestTyper&) = delete;
    XTestTyper& operator=(const XTestTyper&) = delete;

    // Connects on first use; false without an X display or the XTest/XKB extensions (warned
    // once per run).
    bool open();
    // The window holding the input focus (1 = the window under the pointer), 0 for none.
    unsigned long focusWindow();
    // Types the text: a tab with the Tab key, a new line (LF, CR LF or CR) with Return, other
    // control characters are left out. Returns when the text is typed, except
    // into a window of this program, which is typed into over several turns of the event loop,
    // and while a window of this program that takes no keyboard input lies under a pointer that
    // the focus follows (the text is typed once it is gone). Texts are typed whole, one after
    // the other, in order.
    void typeText(const QString& text);
    // Gives the borrowed keycodes back at once (after the settle time since the last press).
    void restoreKeycodes();

    int slotCount() const { return m_slots.size(); }

    // Pause after each keymap change before its keys are pressed.
    static const int kRemapPauseUs = 2000;
    // Without a visible fetch, a keymap change follows presses on borrowed keycodes only this
    // long after the last of them; a fetch is awaited at most kFetchTimeoutMs.
    static const int kSettleMs = 50;
    static const int kFetchTimeoutMs = 1000;
    // The wait for a client that has been seen fetching the map before.
    static const int kBusyFetchTimeoutMs = 10000;
    // Quiet time after the last press before the keycodes go back.
    static const int kRestoreDelayMs = 300;

private:
    struct Key {
        unsigned char keycode;
        bool shifted;
    };
    struct Slot {
        unsigned char keycode;
        bool shifted;
        unsigned long keysym = 0; // 0: free
        qint64 lastPress = -1;    // ms on m_clock
    };
    bool readKeymap();
    void freeKeymap();
    void tap(unsigned char keycode, bool shift);
    // Maps the non-keyboard characters from position `from` on, as many as the slots hold.
    void mapAhead(const QVector<uint>& text, int from);
    // Types the queued characters; `finish` types them all now, even into our own window.
    void typeQueued(bool finish);
    void applySlots(const QVector<int>& changed);
    // Before a keymap change: waits until the focused client can no longer read earlier presses
    // on borrowed keycodes with the coming map.
    void beforeChange();
    // Sends the local key symbol table of keycodes first..last to the server and waits for it.
    void sendKeySyms(int first, int last);
    // Whether the window (or the top-level holding it) belongs to this process.
    bool ownWindow(unsigned long window);
    // Whether the top-level window belongs to this process and takes no keyboard input.
    bool ownDisplayOnlyWindow(unsigned long window);
    // The top-level window under the pointer (with innermost, the deepest one), 0 for none.
    unsigned long windowUnderPointer(bool innermost = false);

    _XDisplay* m_display = nullptr;
    _XkbDesc* m_xkb = nullptr;
    bool m_tried = false;
    bool m_keymapFresh = false;
    bool m_capsLock = false;
    unsigned char m_shiftKeycode = 0;
    QHash<unsigned long, Key> m_keymap; // keysym → key of the first group
    QVector<Slot> m_slots;              // two per spare keycode
    QHash<unsigned long, int> m_slotBySym;
    bool m_borrowed = false;
    QTimer m_restoreTimer;
    QTimer m_continueTimer;
    QVector<uint> m_queue; // characters still to type
    bool m_ownWindow = false;
    bool m_turnGiven = false;         // our own window has had its turn since the last press
    bool m_waitingForPointer = false; // a window of ours under the pointer would take the keys
    QElapsedTimer m_clock;
    qint64 m_lastPress = -1;
    qint64 m_lastSlotPress = -1;
    bool m_slotPressedSinceChange = false;
    bool m_watchFailed = false; // the client was not seen fetching: settle times from now on
    bool m_fetchSeen = false;   // the watched client has fetched the map after a change
    int m_xkbOpcode = 0;
    KeymapFetchWatch m_watch;
};
