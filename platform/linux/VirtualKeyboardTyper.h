#pragma once

#include <QByteArray>
#include <QElapsedTimer>
#include <QString>
#include <QVector>

struct wl_display;
struct wl_registry;
struct wl_seat;
struct zwp_virtual_keyboard_manager_v1;
struct zwp_virtual_keyboard_v1;

// Types Unicode text into the focused Wayland window through a virtual keyboard of the
// compositor (wlroots compositors: sway, Hyprland, labwc, river, Wayfire), on a Wayland
// connection of its own. The keyboard gets a keymap in which each character of the coming text
// has a key of its own; a text with more distinct characters than keys is typed in runs, one
// keymap each. Wayland delivers requests in order, so a keymap applies exactly to the keys sent
// after it. Some compositors lose the first key after a keymap change: a key that types nothing
// goes first. After the text a plain keymap is put back.
class VirtualKeyboardTyper {
public:
    VirtualKeyboardTyper();
    ~VirtualKeyboardTyper();
    VirtualKeyboardTyper(const VirtualKeyboardTyper&) = delete;
    VirtualKeyboardTyper& operator=(const VirtualKeyboardTyper&) = delete;

    // Connects on first use; false when there is no Wayland compositor or it offers no virtual
    // keyboard. A connection the compositor closed is opened again on the next call.
    bool open();
    // Whether the Wayland compositor lists the virtual keyboard (asked on a short connection of
    // its own, without creating a keyboard).
    static bool offered();
    // Types the text (a tab with the Tab key, a new line with Return, other control characters
    // left out); false when it could not be sent.
    bool typeText(const QString& text);

    // The keymap text that gives characters[i] the evdev key i + 1 (xkb keycode i + 9); the key
    // kBlankKey carries nothing.
    static QByteArray keymapFor(const QVector<uint>& characters);

    // Keys a keymap holds for characters, and the key that types nothing.
    static const int kKeysPerMap = 230;
    static const int kBlankKey = 247;

private:
    void close();
    bool uploadKeymap(const QByteArray& keymap);
    void tap(unsigned int key);
    // Sends what is buffered, waiting while the socket is full; false when the connection broke.
    bool flush();
    static void global(void* data, wl_registry* registry, uint32_t name, const char* interface,
                       uint32_t version);
    static void globalRemove(void* data, wl_registry* registry, uint32_t name);

    wl_display* m_display = nullptr;
    wl_registry* m_registry = nullptr;
    wl_seat* m_seat = nullptr;
    zwp_virtual_keyboard_manager_v1* m_manager = nullptr;
    zwp_virtual_keyboard_v1* m_keyboard = nullptr;
    QByteArray m_plainKeymap; // put back after each text
    QElapsedTimer m_clock;
};
