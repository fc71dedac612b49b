#include "platform/linux/VirtualKeyboardTyper.h"

#include "platform/linux/protocols/virtual-keyboard-unstable-v1-client-protocol.h"

#include <QHash>
#include <QtDebug>
#include <cerrno>
#include <cstring>
#include <poll.h>
#include <sys/mman.h>
#include <unistd.h>
#include <wayland-client.h>
#include <xkbcommon/xkbcommon.h>

namespace {

// Tab and new line are typed with their keys; other control characters are left out.
bool isControl(uint c) {
    if (c == '\t' || c == '\n')
        return false;
    return c < 0x20 || c == 0x7f || (c >= 0x80 && c < 0xa0) || c > 0x10ffff || (c >= 0xd800 && c < 0xe000);
}

// The keymap of a plain keyboard (the system's default layout), or empty when none compiles.
QByteArray plainKeymap() {
    QByteArray text;
    xkb_context* context = xkb_context_new(XKB_CONTEXT_NO_FLAGS);
    if (!context)
        return text;
    if (xkb_keymap* keymap = xkb_keymap_new_from_names(context, nullptr, XKB_KEYMAP_COMPILE_NO_FLAGS)) {
        if (char* s = xkb_keymap_get_as_string(keymap, XKB_KEYMAP_FORMAT_TEXT_V1)) {
            text = s;
            free(s);
        }
        xkb_keymap_unref(keymap);
    }
    xkb_context_unref(context);
    return text;
}

} // namespace

VirtualKeyboardTyper::VirtualKeyboardTyper() {
    m_clock.start();
}

VirtualKeyboardTyper::~VirtualKeyboardTyper() {
    close();
}

void VirtualKeyboardTyper::global(void* data, wl_registry* registry, uint32_t name, const char* interface,
                                  uint32_t) {
    auto* self = static_cast<VirtualKeyboardTyper*>(data);
    if (!self->m_seat && std::strcmp(interface, wl_seat_interface.name) == 0)
        self->m_seat = static_cast<wl_seat*>(wl_registry_bind(registry, name, &wl_seat_interface, 1));
    else if (!self->m_manager && std::strcmp(interface, zwp_virtual_keyboard_manager_v1_interface.name) == 0)
        self->m_manager = static_cast<zwp_virtual_keyboard_manager_v1*>(
            wl_registry_bind(registry, name, &zwp_virtual_keyboard_manager_v1_interface, 1));
}

void VirtualKeyboardTyper::globalRemove(void*, wl_registry*, uint32_t) {}

bool VirtualKeyboardTyper::open() {
    if (m_display && wl_display_get_error(m_display) != 0)
        close();
    if (m_keyboard)
        return true;
    if (!m_display) {
        m_display = wl_display_connect(nullptr);
        if (!m_display)
            return false;
        static const wl_registry_listener listener = {&VirtualKeyboardTyper::global,
                                                      &VirtualKeyboardTyper::globalRemove};
        m_registry = wl_display_get_registry(m_display);
        wl_registry_add_listener(m_registry, &listener, this);
        wl_display_roundtrip(m_display);
    }
    if (!m_seat || !m_manager)
        return false;
    m_keyboard = zwp_virtual_keyboard_manager_v1_create_virtual_keyboard(m_manager, m_seat);
    if (wl_display_roundtrip(m_display) < 0) {
        // The compositor refused the keyboard (it may not let every client have one).
        close();
        return false;
    }
    if (m_plainKeymap.isEmpty())
        m_plainKeymap = plainKeymap();
    return true;
}

bool VirtualKeyboardTyper::offered() {
    wl_display* display = wl_display_connect(nullptr);
    if (!display)
        return false;
    bool found = false;
    static const wl_registry_listener listener = {
        [](void* data, wl_registry*, uint32_t, const char* interface, uint32_t) {
            if (std::strcmp(interface, zwp_virtual_keyboard_manager_v1_interface.name) == 0)
                *static_cast<bool*>(data) = true;
        },
        [](void*, wl_registry*, uint32_t) {}};
    wl_registry* registry = wl_display_get_registry(display);
    wl_registry_add_listener(registry, &listener, &found);
    wl_display_roundtrip(display);
    wl_registry_destroy(registry);
    wl_display_disconnect(display);
    return found;
}

void VirtualKeyboardTyper::close() {
    if (m_keyboard)
        zwp_virtual_keyboard_v1_destroy(m_keyboard);
    if (m_manager)
        zwp_virtual_keyboard_manager_v1_destroy(m_manager);
    if (m_seat)
        wl_seat_destroy(m_seat);
    if (m_registry)
        wl_registry_destroy(m_registry);
    if (m_display) {
        wl_display_flush(m_display);
        wl_display_disconnect(m_display);
    }
    m_keyboard = nullptr;
    m_manager = nullptr;
    m_seat = nullptr;
    m_registry = nullptr;
    m_display = nullptr;
}

QByteArray VirtualKeyboardTyper::keymapFor(const QVector<uint>& characters) {
    QByteArray keycodes, symbols;
    for (int i = 0; i < characters.size() && i < kKeysPerMap; ++i) {
        // A new line is the Return key (xkbcommon would name the Linefeed key).
        const xkb_keysym_t sym =
            characters.at(i) == '\n' ? XKB_KEY_Return : xkb_utf32_to_keysym(characters.at(i));
        char name[64];
        if (sym == XKB_KEY_NoSymbol || xkb_keysym_get_name(sym, name, sizeof name) < 0)
            std::snprintf(name, sizeof name, "U%04X", characters.at(i));
        keycodes += "    <K" + QByteArray::number(i + 1) + "> = " + QByteArray::number(i + 9) + ";\n";
        symbols += "    key <K" + QByteArray::number(i + 1) + "> { [ " + QByteArray(name) + " ] };\n";
    }
    keycodes += "    <BLNK> = " + QByteArray::number(kBlankKey + 8) + ";\n";
    return "xkb_keymap {\n"
           "xkb_keycodes \"zorvel\" {\n    minimum = 8;\n    maximum = 255;\n" +
           keycodes +
           "};\n"
           "xkb_types \"zorvel\" {\n"
           "    type \"ONE_LEVEL\" { modifiers = none; level_name[Level1] = \"Any\"; };\n"
           "};\n"
           "xkb_compat \"zorvel\" { };\n"
           "xkb_symbols \"zorvel\" {\n" +
           symbols + "};\n};\n";
}

bool VirtualKeyboardTyper::uploadKeymap(const QByteArray& keymap) {
    const int fd = memfd_create("zorvel-keymap", MFD_CLOEXEC);
    if (fd < 0)
        return false;
    // The receiver maps size bytes and expects the text to end with a zero byte.
    const qint64 size = keymap.size() + 1;
    bool written = ::write(fd, keymap.constData(), size_t(size)) == size;
    if (written) {
        zwp_virtual_keyboard_v1_keymap(m_keyboard, WL_KEYBOARD_KEYMAP_FORMAT_XKB_V1, fd, uint32_t(size));
        // A fresh keymap starts with no modifier held.
        zwp_virtual_keyboard_v1_modifiers(m_keyboard, 0, 0, 0, 0);
    }
    ::close(fd); // the request carries its own copy
    return written;
}

void VirtualKeyboardTyper::tap(unsigned int key) {
    const auto now = uint32_t(m_clock.elapsed());
    zwp_virtual_keyboard_v1_key(m_keyboard, now, key, WL_KEYBOARD_KEY_STATE_PRESSED);
    zwp_virtual_keyboard_v1_key(m_keyboard, now, key, WL_KEYBOARD_KEY_STATE_RELEASED);
}

bool VirtualKeyboardTyper::flush() {
    while (wl_display_flush(m_display) < 0) {
        if (errno != EAGAIN)
            return false;
        pollfd p{wl_display_get_fd(m_display), POLLOUT, 0};
        if (poll(&p, 1, 5000) <= 0)
            return false;
    }
    return true;
}

bool VirtualKeyboardTyper::typeText(const QString& text) {
    if (!open())
        return false;
    QVector<uint> characters;
    // CR LF and a lone CR are one new line each.
    const QString lines =
        QString(text).replace(QLatin1String("\r\n"), QLatin1String("\n")).replace('\r', '\n');
    for (uint c : lines.toUcs4())
        if (!isControl(c))
            characters << c;

    for (int from = 0; from < characters.size();) {
        // The next run: as many characters as there are keys for their distinct values.
        QHash<uint, unsigned int> keyOf;
        QVector<uint> onKeys;
        int to = from;
        for (; to < characters.size(); ++to) {
            const uint c = characters.at(to);
            if (keyOf.contains(c))
                continue;
            if (onKeys.size() == kKeysPerMap)
                break;
            keyOf.insert(c, unsigned(onKeys.size() + 1));
            onKeys << c;
        }
        // The compositor takes the keymap in before the first key arrives, and a key that types
        // nothing absorbs the loss some compositors show right after a keymap change.
        if (!uploadKeymap(keymapFor(onKeys)) || wl_display_roundtrip(m_display) < 0) {
            close();
            return false;
        }
        tap(kBlankKey);
        for (int i = from; i < to; ++i) {
            tap(keyOf.value(characters.at(i)));
            // Each tap is two small requests; the client's buffer holds about a hundred.
            if ((i - from) % 32 == 31 && !flush())
                break;
        }
        from = to;
    }
    if (!m_plainKeymap.isEmpty())
        uploadKeymap(m_plainKeymap);
    const bool sent = flush() && wl_display_roundtrip(m_display) >= 0;
    if (!sent)
        close();
    return sent;
}
