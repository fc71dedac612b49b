#include "platform/linux/KernelMouseButtons.h"

#include <QDir>
#include <QFile>
#include <QSocketNotifier>
#include <QtDebug>
#include <cerrno>
#include <climits>
#include <cstring>
#include <fcntl.h>
#include <linux/input.h>
#include <sys/inotify.h>
#include <unistd.h>

KernelMouseButtons::KernelMouseButtons(const QString& sysRoot, const QString& devRoot, QObject* parent)
    : MouseButtons(parent), m_sysRoot(sysRoot), m_devRoot(devRoot) {}

KernelMouseButtons::~KernelMouseButtons() {
    for (int fd : m_notifiers.keys())
        forget(fd);
    delete m_folderNotifier;
    if (m_folderWatch >= 0)
        ::close(m_folderWatch);
}

bool KernelMouseButtons::hasKey(const QByteArray& capabilities, int code) {
    const int wordBits = int(sizeof(long)) * CHAR_BIT;
    const QList<QByteArray> words = capabilities.trimmed().split(' ');
    const int index = words.size() - 1 - code / wordBits; // the last word holds the lowest codes
    if (index < 0)
        return false;
    bool ok = false;
    const qulonglong word = words.at(index).toULongLong(&ok, 16);
    return ok && (word >> (code % wordBits)) & 1;
}

QStringList KernelMouseButtons::sideKeyDevices(const QString& sysRoot) {
    QStringList found;
    const QStringList entries = QDir(sysRoot).entryList({QStringLiteral("event*")},
                                                        QDir::Dirs | QDir::Files | QDir::System, QDir::Name);
    for (const QString& name : entries) {
        QFile file(sysRoot + '/' + name + QStringLiteral("/device/capabilities/key"));
        if (!file.open(QIODevice::ReadOnly))
            continue;
        const QByteArray keys = file.readAll();
        if (hasKey(keys, BTN_SIDE) || hasKey(keys, BTN_EXTRA))
            found << name;
    }
    return found;
}

int KernelMouseButtons::openDevice(const QString& path) {
    return ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
}

void KernelMouseButtons::openDevices(QStringList* denied) {
    const QList<QString> open = m_names.values();
    for (const QString& name : sideKeyDevices(m_sysRoot)) {
        if (open.contains(name))
            continue;
        const QString path = m_devRoot + '/' + name;
        const int fd = openDevice(path);
        if (fd >= 0) {
            watch(fd);
            m_names.insert(fd, name);
        } else if (denied && (errno == EACCES || errno == EPERM)) {
            *denied << path;
        }
    }
}

bool KernelMouseButtons::start() {
    if (!m_notifiers.isEmpty() || m_folderWatch >= 0)
        return true;
    QStringList denied;
    openDevices(&denied);
    setDeviceAccessDenied(m_notifiers.isEmpty() && !denied.isEmpty());
    const bool watching = watchDeviceFolder();
    if (!m_notifiers.isEmpty())
        return true;
    if (!denied.isEmpty())
        qWarning().noquote() << "Side key , no read access to the mouse's input devices (" +
                                    denied.join(", ") +
                                    "): add the user to the \"input\" group, or bind a desktop shortcut to "
                                    "\"zorvel --take toggle\" !";
    else
        qWarning("Side key , no mouse with side buttons among the kernel's input devices, the side key does "
                 "nothing !");
    return watching;
}

// A new event device appears in the folder, and its owner and mode are set a moment later (by
// udev): either may be the moment it can be opened.
bool KernelMouseButtons::watchDeviceFolder() {
    m_folderWatch = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (m_folderWatch < 0)
        return false;
    if (::inotify_add_watch(m_folderWatch, QFile::encodeName(m_devRoot).constData(),
                            IN_CREATE | IN_ATTRIB | IN_MOVED_TO) < 0) {
        ::close(m_folderWatch);
        m_folderWatch = -1;
        return false;
    }
    m_folderNotifier = new QSocketNotifier(m_folderWatch, QSocketNotifier::Read, this);
    connect(m_folderNotifier, &QSocketNotifier::activated, this, &KernelMouseButtons::readDeviceFolder);
    return true;
}

void KernelMouseButtons::readDeviceFolder() {
    alignas(inotify_event) char buffer[4096];
    bool eventDevice = false;
    ssize_t n;
    while ((n = ::read(m_folderWatch, buffer, sizeof buffer)) > 0) {
        for (ssize_t at = 0; at + ssize_t(sizeof(inotify_event)) <= n;) {
            const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
            if (event->len > 0 && std::strncmp(event->name, "event", 5) == 0)
                eventDevice = true;
            at += ssize_t(sizeof(inotify_event)) + event->len;
        }
    }
    if (!eventDevice)
        return;
    const int before = m_notifiers.size();
    openDevices(nullptr);
    if (m_notifiers.size() > before) {
        setDeviceAccessDenied(false);
        qDebug("Side key , a mouse with side buttons was plugged in, reading its input events");
    }
}

void KernelMouseButtons::watch(int fd) {
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK);
    auto* notifier = new QSocketNotifier(fd, QSocketNotifier::Read, this);
    connect(notifier, &QSocketNotifier::activated, this, [this, fd] { readEvents(fd); });
    m_notifiers.insert(fd, notifier);
}

void KernelMouseButtons::forget(int fd) {
    delete m_notifiers.take(fd);
    m_names.remove(fd);
    m_partial.remove(fd);
    ::close(fd);
}

void KernelMouseButtons::readEvents(int fd) {
    QByteArray buffer = m_partial.take(fd);
    bool gone = false;
    char chunk[64 * sizeof(input_event)];
    while (true) {
        const ssize_t n = ::read(fd, chunk, sizeof chunk);
        if (n > 0)
            buffer.append(chunk, int(n));
        else if (n < 0 && errno == EINTR)
            continue;
        else {
            // End of input or an error other than "nothing more now": the device went away.
            gone = n == 0 || (errno != EAGAIN && errno != EWOULDBLOCK);
            break;
        }
    }
    int used = 0;
    for (; used + int(sizeof(input_event)) <= buffer.size(); used += int(sizeof(input_event))) {
        input_event ev;
        memcpy(&ev, buffer.constData() + used, sizeof ev);
        // Only button records count; motion, wheel and SYN records are no mouse messages here,
        // and a held button's repeats (value 2) are not new presses.
        if (ev.type != EV_KEY || ev.code < BTN_MISC || ev.code >= KEY_OK || ev.value == 2)
            continue;
        const bool press = ev.value != 0;
        switch (ev.code) {
        case BTN_MIDDLE:
            emit mouseMessage(press ? MiddleDown : MiddleUp);
            break;
        case BTN_SIDE:
        case BTN_EXTRA:
            emit mouseMessage(press ? SideDown : SideUp);
            break;
        default:
            emit mouseMessage(Other);
        }
    }
    if (gone)
        forget(fd);
    else
        m_partial.insert(fd, buffer.mid(used));
}
