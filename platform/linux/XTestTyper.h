#pragma once

#include <QElapsedTimer>
#include <QHash>
#include <QTimer>
#include <QVector>

struct _XDisplay;

// Types Unicode characters into whatever window has the X input focus, with the XTest extension,
// on a connection of its own. Characters on the keyboard map are typed with their key (and Shift
// where needed); the others by giving a spare keycode the character's keysym. Every remap makes
// each client re-read its keymap, so remaps rotate over all spare keycodes, pause briefly after
// each remap, and are undone only when no character has been typed for a while. Nothing but the
// characters' own keys (and Shift) is ever pressed.
class XTestTyper {
public:
    XTestTyper();
    ~XTestTyper();
    XTestTyper(const XTestTyper&) = delete;
    XTestTyper& operator=(const XTestTyper&) = delete;

    // Connects on first use; false without an X display or the XTest extension (warned once per run).
    bool open();
    // The window holding the input focus (1 = the window under the pointer), 0 for none.
    unsigned long focusWindow();
    // Types one character; control characters are ignored.
    void typeCharacter(char32_t codepoint);
    // Gives the borrowed keycodes back at once, after the settle time since the last character.
    void restoreKeycodes();

    int spareKeycodeCount() const { return m_spare.size(); }

    // Pause after each remap, and quiet time after the last character before keycodes go back.
    static const int kRemapPauseUs = 2000;
    static const int kRestoreDelayMs = 300;

private:
    struct Key {
        unsigned char keycode;
        bool shifted;
    };
    void readKeymap();
    void tap(unsigned char keycode, bool shift);
    unsigned char borrowKeycode(unsigned long keysym);

    _XDisplay* m_display = nullptr;
    bool m_tried = false;
    bool m_keymapFresh = false;
    bool m_capsLock = false;
    unsigned char m_shiftKeycode = 0;
    QHash<unsigned long, Key> m_keymap;      // keysym → key in the first group
    QVector<unsigned char> m_spare;          // keycodes without any keysym
    int m_nextSpare = 0;
    QHash<unsigned long, unsigned char> m_borrowedBySym;
    QHash<unsigned char, unsigned long> m_borrowedByKey;
    QTimer m_restoreTimer;
    QElapsedTimer m_lastUse;
};
