#include "platform/linux/DataControlClipboard.h"

#include "platform/linux/protocols/wlr-data-control-unstable-v1-client-protocol.h"

#include <QDeadlineTimer>
#include <QtDebug>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>
#include <wayland-client.h>

namespace {

const qint64 kMostKept = 64 * 1024 * 1024; // beyond this a format is not kept

// Reads a pipe to its end, or until the deadline; false on time-out or error.
bool readAll(int fd, QByteArray& data, const QDeadlineTimer& deadline) {
    char buffer[65536];
    while (true) {
        pollfd p{fd, POLLIN, 0};
        const int ready = ::poll(&p, 1, int(qMax<qint64>(0, deadline.remainingTime())));
        if (ready < 0 && errno == EINTR)
            continue;
        if (ready <= 0)
            return false;
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0 && (errno == EINTR || errno == EAGAIN))
            continue;
        if (n < 0)
            return false;
        if (n == 0)
            return true;
        data.append(buffer, int(n));
        if (data.size() > kMostKept)
            return false;
    }
}

// Writes all of the data to the reader's pipe, then closes it.
void writeAll(int fd, const QByteArray& data) {
    const int flags = fcntl(fd, F_GETFL);
    if (flags >= 0)
        fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
    qint64 done = 0;
    while (done < data.size()) {
        const ssize_t n = ::write(fd, data.constData() + done, size_t(data.size() - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        done += n;
    }
    ::close(fd);
}

} // namespace

DataControlClipboard::DataControlClipboard() {
    // A reader that closes its end early must not end the program.
    std::signal(SIGPIPE, SIG_IGN);
}

DataControlClipboard::~DataControlClipboard() {
    close();
}

void DataControlClipboard::close() {
    m_notifier.reset();
    if (m_source)
        zwlr_data_control_source_v1_destroy(m_source);
    if (m_offer)
        zwlr_data_control_offer_v1_destroy(m_offer);
    if (m_newOffer && m_newOffer != m_offer)
        zwlr_data_control_offer_v1_destroy(m_newOffer);
    if (m_device)
        zwlr_data_control_device_v1_destroy(m_device);
    if (m_manager)
        zwlr_data_control_manager_v1_destroy(m_manager);
    if (m_seat)
        wl_seat_destroy(m_seat);
    if (m_registry)
        wl_registry_destroy(m_registry);
    if (m_display)
        wl_display_disconnect(m_display);
    m_source = nullptr;
    m_offer = m_newOffer = nullptr;
    m_device = nullptr;
    m_manager = nullptr;
    m_seat = nullptr;
    m_registry = nullptr;
    m_display = nullptr;
}

void DataControlClipboard::global(void* data, wl_registry* registry, uint32_t name, const char* interface,
                                  uint32_t version) {
    auto* self = static_cast<DataControlClipboard*>(data);
    if (!self->m_seat && std::strcmp(interface, wl_seat_interface.name) == 0)
        self->m_seat = static_cast<wl_seat*>(wl_registry_bind(registry, name, &wl_seat_interface, 1));
    else if (!self->m_manager && std::strcmp(interface, zwlr_data_control_manager_v1_interface.name) == 0)
        self->m_manager = static_cast<zwlr_data_control_manager_v1*>(wl_registry_bind(
            registry, name, &zwlr_data_control_manager_v1_interface, qMin<uint32_t>(version, 2)));
}

bool DataControlClipboard::open() {
    if (m_device)
        return true;
    if (qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        return false;
    m_display = wl_display_connect(nullptr);
    if (!m_display)
        return false;
    static const wl_registry_listener registryListener = {&DataControlClipboard::global,
                                                          &DataControlClipboard::globalRemove};
    m_registry = wl_display_get_registry(m_display);
    wl_registry_add_listener(m_registry, &registryListener, this);
    wl_display_roundtrip(m_display);
    if (!m_seat || !m_manager) {
        close();
        return false;
    }
    static const zwlr_data_control_device_v1_listener deviceListener = {
        &DataControlClipboard::dataOffer, &DataControlClipboard::selection, &DataControlClipboard::finished,
        &DataControlClipboard::primarySelection};
    m_device = zwlr_data_control_manager_v1_get_data_device(m_manager, m_seat);
    zwlr_data_control_device_v1_add_listener(m_device, &deviceListener, this);
    // The present selection comes right after binding.
    if (wl_display_roundtrip(m_display) < 0) {
        close();
        return false;
    }
    m_notifier = std::make_unique<QSocketNotifier>(wl_display_get_fd(m_display), QSocketNotifier::Read);
    connect(m_notifier.get(), &QSocketNotifier::activated, this, [this] { dispatch(); });
    return true;
}

// Events of our connection: requests for our data, a new selection of someone else's.
void DataControlClipboard::dispatch() {
    if (!m_display)
        return;
    if (wl_display_prepare_read(m_display) == 0) {
        if (wl_display_read_events(m_display) < 0) {
            qWarning("Text injection , the connection to the compositor's clipboard broke !");
            close();
            return;
        }
    }
    wl_display_dispatch_pending(m_display);
    wl_display_flush(m_display);
}

void DataControlClipboard::dataOffer(void* data, zwlr_data_control_device_v1*,
                                     zwlr_data_control_offer_v1* offer) {
    auto* self = static_cast<DataControlClipboard*>(data);
    static const zwlr_data_control_offer_v1_listener offerListener = {&DataControlClipboard::offerType};
    if (self->m_newOffer && self->m_newOffer != self->m_offer)
        zwlr_data_control_offer_v1_destroy(self->m_newOffer);
    self->m_newOffer = offer;
    self->m_newOfferTypes.clear();
    zwlr_data_control_offer_v1_add_listener(offer, &offerListener, self);
}

void DataControlClipboard::offerType(void* data, zwlr_data_control_offer_v1* offer, const char* mimeType) {
    auto* self = static_cast<DataControlClipboard*>(data);
    if (offer == self->m_newOffer)
        self->m_newOfferTypes.append(QByteArray(mimeType));
}

void DataControlClipboard::selection(void* data, zwlr_data_control_device_v1*,
                                     zwlr_data_control_offer_v1* offer) {
    auto* self = static_cast<DataControlClipboard*>(data);
    if (self->m_offer && self->m_offer != offer)
        zwlr_data_control_offer_v1_destroy(self->m_offer);
    self->m_offer = offer;
    self->m_offerTypes = offer == self->m_newOffer ? self->m_newOfferTypes : QVector<QByteArray>();
    self->m_newOffer = nullptr;
    self->m_newOfferTypes.clear();
}

void DataControlClipboard::primarySelection(void* data, zwlr_data_control_device_v1*,
                                            zwlr_data_control_offer_v1* offer) {
    // Only the clipboard is used; the offer of the primary selection is not needed.
    auto* self = static_cast<DataControlClipboard*>(data);
    if (offer == self->m_newOffer) {
        self->m_newOffer = nullptr;
        self->m_newOfferTypes.clear();
    }
    if (offer && offer != self->m_offer)
        zwlr_data_control_offer_v1_destroy(offer);
}

void DataControlClipboard::finished(void* data, zwlr_data_control_device_v1*) {
    qWarning("Text injection , the compositor ended the clipboard's data control !");
    static_cast<DataControlClipboard*>(data)->close();
}

void DataControlClipboard::send(void* data, zwlr_data_control_source_v1* source, const char* mimeType,
                                int32_t fd) {
    auto* self = static_cast<DataControlClipboard*>(data);
    QByteArray bytes;
    if (source == self->m_source) {
        for (const auto& format : self->m_sourceContent)
            if (format.first == mimeType) {
                bytes = format.second;
                break;
            }
    }
    writeAll(fd, bytes);
    if (source == self->m_source && self->m_sourceIsText)
        emit self->textRead();
}

void DataControlClipboard::cancelled(void* data, zwlr_data_control_source_v1* source) {
    auto* self = static_cast<DataControlClipboard*>(data);
    if (source == self->m_source) {
        self->m_source = nullptr;
        self->m_sourceContent.clear();
    }
    zwlr_data_control_source_v1_destroy(source);
}

// What the selection holds now, every format; inTime is false when the owner did not send them
// all before the deadline. Our own source is answered from memory: its requests would come on
// this connection, which is not read while we wait.
PasteClipboard::Content DataControlClipboard::readOffer(const QDeadlineTimer& deadline, bool* inTime) {
    *inTime = true;
    if (m_source)
        return m_sourceContent;
    Content content;
    if (!m_offer)
        return content;
    for (const QByteArray& type : qAsConst(m_offerTypes)) {
        int fds[2];
        if (pipe2(fds, O_CLOEXEC) != 0)
            break;
        zwlr_data_control_offer_v1_receive(m_offer, type.constData(), fds[1]);
        ::close(fds[1]);
        wl_display_flush(m_display);
        QByteArray bytes;
        const bool whole = readAll(fds[0], bytes, deadline);
        ::close(fds[0]);
        if (whole) {
            content.append({type, bytes});
        } else if (deadline.hasExpired()) {
            *inTime = false;
            break;
        } else {
            qWarning().noquote()
                << QStringLiteral("Text injection , the clipboard's %1 could not be read, it is not kept !")
                       .arg(QString::fromLatin1(type));
        }
    }
    return content;
}

// The new source replaces the old one before that is destroyed: in between the clipboard would be
// empty, and a clipboard manager that fills an empty clipboard would bring back an older text.
void DataControlClipboard::offer(const Content& content, bool isText) {
    static const zwlr_data_control_source_v1_listener sourceListener = {&DataControlClipboard::send,
                                                                        &DataControlClipboard::cancelled};
    zwlr_data_control_source_v1* old = m_source;
    m_source = nullptr;
    m_sourceContent.clear();
    if (content.isEmpty()) {
        zwlr_data_control_device_v1_set_selection(m_device, nullptr);
    } else {
        m_source = zwlr_data_control_manager_v1_create_data_source(m_manager);
        zwlr_data_control_source_v1_add_listener(m_source, &sourceListener, this);
        for (const auto& format : content)
            zwlr_data_control_source_v1_offer(m_source, format.first.constData());
        m_sourceContent = content;
        m_sourceIsText = isText;
        zwlr_data_control_device_v1_set_selection(m_device, m_source);
    }
    if (old)
        zwlr_data_control_source_v1_destroy(old);
    wl_display_roundtrip(m_display);
}

bool DataControlClipboard::hold(const QString& text) {
    if (!m_display && !open())
        return false;
    // Events that came while nobody read the connection (a new selection) first.
    wl_display_roundtrip(m_display);
    bool inTime = true;
    m_kept = readOffer(QDeadlineTimer(kSaveMs), &inTime);
    m_keep = inTime;
    if (!inTime)
        warnNotKept();
    offer(textContent(text), true);
    return m_display && m_source;
}

void DataControlClipboard::giveBack() {
    if (m_display && m_keep)
        offer(m_kept, false);
    m_kept.clear();
}
