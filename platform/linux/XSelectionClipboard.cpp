#include "platform/linux/XSelectionClipboard.h"

#include <QDeadlineTimer>
#include <QtDebug>
#include <cerrno>
#include <poll.h>

// Xlib last: its macros (Bool, Status, None) clash with Qt headers.
#include <X11/Xatom.h>
#include <X11/Xlib.h>

namespace {
const int kOfferedMs = 1000; // longest wait for the compositor to take note of a new owner
} // namespace

struct XSelectionClipboard::Private {
    Display* display = nullptr;
    Window window = 0;
    Atom clipboard = 0, targets = 0, incr = 0, property = 0, multiple = 0, timestamp = 0, atom = 0;
    long maxBytes = 0; // the largest property one request can carry
};

XSelectionClipboard::XSelectionClipboard() : d(new Private) {}

XSelectionClipboard::~XSelectionClipboard() {
    m_notifier.reset();
    if (d->display) {
        XDestroyWindow(d->display, d->window);
        XCloseDisplay(d->display);
    }
}

bool XSelectionClipboard::open() {
    if (d->display)
        return true;
    if (qEnvironmentVariableIsEmpty("DISPLAY"))
        return false;
    d->display = XOpenDisplay(nullptr);
    if (!d->display)
        return false;
    d->window = XCreateSimpleWindow(d->display, DefaultRootWindow(d->display), 0, 0, 1, 1, 0, 0, 0);
    XSelectInput(d->display, d->window, PropertyChangeMask);
    d->clipboard = XInternAtom(d->display, "CLIPBOARD", False);
    d->targets = XInternAtom(d->display, "TARGETS", False);
    d->incr = XInternAtom(d->display, "INCR", False);
    d->property = XInternAtom(d->display, "ZORVEL_SELECTION", False);
    d->multiple = XInternAtom(d->display, "MULTIPLE", False);
    d->timestamp = XInternAtom(d->display, "TIMESTAMP", False);
    d->atom = XA_ATOM;
    const long maxRequest = XExtendedMaxRequestSize(d->display) ? XExtendedMaxRequestSize(d->display)
                                                                : XMaxRequestSize(d->display);
    d->maxBytes = maxRequest * 4 - 100;
    XFlush(d->display);
    m_notifier = std::make_unique<QSocketNotifier>(ConnectionNumber(d->display), QSocketNotifier::Read);
    connect(m_notifier.get(), &QSocketNotifier::activated, this, [this] { dispatch(); });
    return true;
}

void XSelectionClipboard::dispatch() {
    while (d->display && XPending(d->display)) {
        XEvent event;
        XNextEvent(d->display, &event);
        handle(&event);
    }
}

// Requests for what we own, and the news that someone else owns the selection now.
void XSelectionClipboard::handle(void* e) {
    XEvent* event = static_cast<XEvent*>(e);
    if (event->type == SelectionClear && event->xselectionclear.selection == d->clipboard) {
        // A clear sent before we took the selection again is stale.
        if (event->xselectionclear.time != CurrentTime && event->xselectionclear.time < m_ownedAt)
            return;
        m_owner = false;
        m_content.clear();
        return;
    }
    if (event->type != SelectionRequest)
        return;
    const XSelectionRequestEvent& request = event->xselectionrequest;
    XSelectionEvent reply{};
    reply.type = SelectionNotify;
    reply.display = d->display;
    reply.requestor = request.requestor;
    reply.selection = request.selection;
    reply.target = request.target;
    reply.time = request.time;
    reply.property = 0; // refused unless answered below
    const Atom property = request.property ? request.property : request.target;
    if (m_owner && request.selection == d->clipboard) {
        if (request.target == d->targets) {
            // Only a question about the present content counts (not a late one about the last).
            m_targetsAsked |= request.time == CurrentTime || request.time >= m_ownedAt;
            QVector<Atom> atoms{d->targets, d->timestamp};
            for (const auto& format : qAsConst(m_content))
                atoms << XInternAtom(d->display, format.first.constData(), False);
            XChangeProperty(d->display, request.requestor, property, XA_ATOM, 32, PropModeReplace,
                            reinterpret_cast<const unsigned char*>(atoms.constData()), atoms.size());
            reply.property = property;
        } else {
            char* name = XGetAtomName(d->display, request.target);
            const QByteArray target(name ? name : "");
            if (name)
                XFree(name);
            for (const auto& format : qAsConst(m_content)) {
                // Larger data would need the INCR protocol: refused.
                if (format.first != target || format.second.size() > d->maxBytes)
                    continue;
                const Atom type =
                    target == "TEXT" ? XInternAtom(d->display, "UTF8_STRING", False) : request.target;
                XChangeProperty(d->display, request.requestor, property, type, 8, PropModeReplace,
                                reinterpret_cast<const unsigned char*>(format.second.constData()),
                                format.second.size());
                reply.property = property;
                if (m_isText)
                    emit textRead();
                break;
            }
        }
    }
    XSendEvent(d->display, request.requestor, False, 0, reinterpret_cast<XEvent*>(&reply));
    XFlush(d->display);
}

// Waits for the answer to our conversion and reads the property it names; requests to us are
// answered meanwhile (we may own the selection ourselves).
bool XSelectionClipboard::waitForNotify(unsigned long target, unsigned long property, unsigned long* type,
                                        int* format, QByteArray* data, const QDeadlineTimer& deadline) {
    while (true) {
        while (XPending(d->display)) {
            XEvent event;
            XNextEvent(d->display, &event);
            if (event.type == SelectionNotify && event.xselection.requestor == d->window &&
                event.xselection.target == target) {
                if (event.xselection.property == 0)
                    return false;
                Atom actualType = 0;
                int actualFormat = 0;
                unsigned long items = 0, after = 0;
                unsigned char* bytes = nullptr;
                if (XGetWindowProperty(d->display, d->window, property, 0, d->maxBytes / 4, True,
                                       AnyPropertyType, &actualType, &actualFormat, &items, &after,
                                       &bytes) != Success)
                    return false;
                const int unit = actualFormat == 32 ? int(sizeof(long)) : actualFormat / 8;
                *type = actualType;
                *format = actualFormat;
                data->clear();
                if (bytes) {
                    data->append(reinterpret_cast<const char*>(bytes), int(items) * unit);
                    XFree(bytes);
                }
                // Data sent in pieces (INCR) or beyond one request is not kept.
                return actualType != d->incr && after == 0;
            }
            handle(&event);
        }
        pollfd p{ConnectionNumber(d->display), POLLIN, 0};
        const qint64 left = deadline.remainingTime();
        if (left <= 0)
            return false;
        if (::poll(&p, 1, int(left)) < 0 && errno != EINTR)
            return false;
    }
}

unsigned long XSelectionClipboard::serverTime() {
    // A zero-length append to our own property tells the server's time in its notice, which is
    // queued once the server has answered the sync. Older notices (a deleted property) may wait
    // before it: the newest is the time now.
    XChangeProperty(d->display, d->window, d->property, XA_STRING, 8, PropModeAppend, nullptr, 0);
    XSync(d->display, False);
    unsigned long time = CurrentTime;
    XEvent event;
    while (XCheckTypedWindowEvent(d->display, d->window, PropertyNotify, &event))
        time = event.xproperty.time;
    return time;
}

// Every format the present owner offers, as it offers it; inTime is false when the owner did not
// answer for all of them before the deadline.
PasteClipboard::Content XSelectionClipboard::read(const QDeadlineTimer& deadline, bool* inTime) {
    *inTime = true;
    if (m_owner)
        return m_content;
    Content content;
    if (XGetSelectionOwner(d->display, d->clipboard) == 0)
        return content;
    const unsigned long time = serverTime();
    unsigned long type = 0;
    int format = 0;
    QByteArray list;
    XConvertSelection(d->display, d->clipboard, d->targets, d->property, d->window, time);
    if (!waitForNotify(d->targets, d->property, &type, &format, &list, deadline) || format != 32) {
        *inTime = !deadline.hasExpired();
        return content;
    }
    const auto* atoms = reinterpret_cast<const long*>(list.constData());
    const int count = list.size() / int(sizeof(long));
    for (int i = 0; i < count; ++i) {
        const Atom target = Atom(atoms[i]);
        if (target == d->targets || target == d->multiple || target == d->timestamp || target == 0)
            continue;
        char* name = XGetAtomName(d->display, target);
        if (!name)
            continue;
        const QByteArray targetName(name);
        XFree(name);
        if (targetName == "SAVE_TARGETS" || targetName == "DELETE")
            continue;
        QByteArray data;
        XConvertSelection(d->display, d->clipboard, target, d->property, d->window, time);
        if (waitForNotify(target, d->property, &type, &format, &data, deadline) && format == 8) {
            content.append({targetName, data});
        } else if (deadline.hasExpired()) {
            *inTime = false;
            break;
        } else
            qWarning().noquote()
                << QStringLiteral("Text injection , the clipboard's %1 could not be read, it is not kept !")
                       .arg(QString::fromLatin1(targetName));
    }
    return content;
}

// An empty content is owned too, offering no format: given up, the selection would go to GNOME's
// clipboard manager, which offers its copy of the last owner's text (the pasted one).
bool XSelectionClipboard::own(const Content& content, bool isText) {
    m_content = content;
    m_isText = isText;
    m_ownedAt = serverTime();
    XSetSelectionOwner(d->display, d->clipboard, d->window, m_ownedAt);
    m_owner = XGetSelectionOwner(d->display, d->clipboard) == d->window;
    // The round trips may have queued requests (the compositor asking what we offer now) that
    // the socket notifier will not report again.
    dispatch();
    return m_owner;
}

bool XSelectionClipboard::hold(const QString& text) {
    if (!d->display && !open())
        return false;
    dispatch();
    bool inTime = true;
    m_kept = read(QDeadlineTimer(kSaveMs), &inTime);
    m_keep = inTime;
    if (!inTime)
        warnNotKept();
    m_targetsAsked = false;
    if (!own(textContent(text), true))
        return false;
    // mutter passes the selection on to its Wayland windows once it has asked what we offer; a
    // paste before that would paste the old content.
    const QDeadlineTimer deadline(kOfferedMs);
    while (!m_targetsAsked && !deadline.hasExpired()) {
        pollfd p{ConnectionNumber(d->display), POLLIN, 0};
        ::poll(&p, 1, 10);
        dispatch();
    }
    return true;
}

void XSelectionClipboard::giveBack() {
    if (d->display && m_keep)
        own(m_kept, false);
    m_kept.clear();
}
