#include "platform/linux/KeymapFetchWatch.h"

#include <QtDebug>
#include <poll.h>

#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#include <X11/Xproto.h>
#include <X11/extensions/record.h>

namespace {
// X errors while the watch is set up (a window that has just gone) must not end the program.
int g_trappedErrors = 0;
int trapError(Display*, XErrorEvent*) {
    ++g_trappedErrors;
    return 0;
}
} // namespace

KeymapFetchWatch::~KeymapFetchWatch() {
    stop();
}

bool KeymapFetchWatch::start(Display* own, unsigned long window, int xkbOpcode) {
    stop();
    int major = 0, minor = 0;
    if (!own || !window || !XRecordQueryVersion(own, &major, &minor))
        return false;
    m_data = XOpenDisplay(DisplayString(own));
    if (!m_data)
        return false;
    m_own = own;
    m_window = window;
    m_xkbOpcode = xkbOpcode;
    // Our own connection is named by a resource of ours.
    m_ownXid = XCreatePixmap(own, DefaultRootWindow(own), 1, 1, 1);
    const XID baseMask = XRecordIdBaseMask(own);
    m_ownBase = m_ownXid & baseMask;
    m_windowBase = window & baseMask;

    XRecordRange* range = XRecordAllocRange();
    if (!range) {
        stop();
        return false;
    }
    range->core_requests.first = X_ChangeKeyboardMapping;
    range->core_requests.last = X_GetKeyboardMapping;
    range->ext_requests.ext_major.first = static_cast<unsigned char>(xkbOpcode);
    range->ext_requests.ext_major.last = static_cast<unsigned char>(xkbOpcode);
    range->ext_requests.ext_minor.first = X_kbGetMap;
    range->ext_requests.ext_minor.last = X_kbSetMap;
    XRecordClientSpec clients[2] = {window, m_ownXid};
    XSync(own, False);
    g_trappedErrors = 0;
    const auto previousHandler = XSetErrorHandler(trapError);
    m_context = XRecordCreateContext(own, 0, clients, 2, &range, 1);
    XSync(own, False);
    XSetErrorHandler(previousHandler);
    XFree(range);
    if (g_trappedErrors) {
        // The context was refused; its id names nothing.
        m_context = 0;
        stop();
        return false;
    }
    if (!m_context ||
        !XRecordEnableContextAsync(m_data, m_context, reinterpret_cast<XRecordInterceptProc>(&intercept),
                                   reinterpret_cast<XPointer>(this))) {
        stop();
        return false;
    }
    m_applied = m_changesSeen = 0;
    m_fetchedAfter = 0;
    m_fetchesPerChange = 0;
    m_fetchesSinceChange = 0;
    m_clock.start();
    return true;
}

void KeymapFetchWatch::stop() {
    if (m_context) {
        XRecordDisableContext(m_own, m_context);
        XSync(m_own, False);
        // Take the end-of-data record off the data connection.
        XRecordProcessReplies(m_data);
        XRecordFreeContext(m_own, m_context);
        m_context = 0;
    }
    if (m_ownXid) {
        XFreePixmap(m_own, m_ownXid);
        m_ownXid = 0;
    }
    if (m_data) {
        XCloseDisplay(m_data);
        m_data = nullptr;
    }
    m_window = 0;
}

void KeymapFetchWatch::intercept(char* closure, void* recorded) {
    auto* self = reinterpret_cast<KeymapFetchWatch*>(closure);
    auto* data = static_cast<XRecordInterceptData*>(recorded);
    if (data->category == XRecordFromClient && data->data && data->data_len > 0) {
        const unsigned char major = data->data[0];
        const unsigned char minor = data->data[1];
        const bool xkb = major == self->m_xkbOpcode;
        const bool change = (xkb && minor == X_kbSetMap) || major == X_ChangeKeyboardMapping;
        const bool fetch = (xkb && minor == X_kbGetMap) || major == X_GetKeyboardMapping;
        if (data->id_base == self->m_ownBase && change) {
            ++self->m_changesSeen;
            self->m_fetchesSinceChange = 0;
        } else if (data->id_base == self->m_windowBase && fetch) {
            self->m_fetchedAfter = self->m_changesSeen;
            self->m_lastFetch = self->m_clock.elapsed();
            ++self->m_fetchesSinceChange;
        }
    }
    XRecordFreeData(data);
}

void KeymapFetchWatch::readRecords(int timeoutMs) {
    pollfd fd = {ConnectionNumber(m_data), POLLIN, 0};
    if (poll(&fd, 1, timeoutMs) > 0)
        XRecordProcessReplies(m_data);
}

bool KeymapFetchWatch::waitFetched(int timeoutMs) {
    if (!m_context)
        return false;
    const qint64 start = m_clock.elapsed();
    XRecordProcessReplies(m_data);
    // A client may read the map several times for one change (once per notice it gets), and
    // the last of those reads must be over too. How many reads a change brings is learnt from
    // the first change, by waiting until the reads have stopped for a good while; later
    // changes wait for that many reads and a short quiet time, or fewer and a long one.
    const bool learning = m_fetchesPerChange == 0;
    const int quietMs = learning ? kLearnQuietMs : kQuietMs;
    while (true) {
        const qint64 now = m_clock.elapsed();
        const bool fetched = m_fetchedAfter >= m_applied;
        const bool enough = learning || m_fetchesSinceChange >= m_fetchesPerChange;
        // Fewer reads than a change brings are taken as all only after a long quiet time: a
        // client on a loaded machine may pause between its reads.
        const int needQuietMs = enough ? quietMs : kShortfallMs;
        if (fetched && now - m_lastFetch >= needQuietMs) {
            if (learning || !enough)
                m_fetchesPerChange = m_fetchesSinceChange;
            return true;
        }
        if (now - start >= timeoutMs)
            return false;
        readRecords(int(qBound<qint64>(1, fetched ? m_lastFetch + needQuietMs - now : 20, 20)));
    }
}
