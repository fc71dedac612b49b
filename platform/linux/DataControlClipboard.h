#pragma once

#include "platform/linux/PasteClipboard.h"

#include <QDeadlineTimer>
#include <QSocketNotifier>
#include <memory>

struct wl_display;
struct wl_registry;
struct wl_seat;
struct zwlr_data_control_manager_v1;
struct zwlr_data_control_device_v1;
struct zwlr_data_control_source_v1;
struct zwlr_data_control_offer_v1;

// The clipboard through the compositor's data control protocol (KWin, wlroots compositors), on a
// Wayland connection of its own: it reads and sets the selection without any window or focus.
class DataControlClipboard : public PasteClipboard {
    Q_OBJECT
public:
    DataControlClipboard();
    ~DataControlClipboard() override;

    // Connects and binds the data control; false when the compositor offers none.
    bool open();
    bool hold(const QString& text) override;
    void giveBack() override;
    QString name() const override { return QStringLiteral("the compositor's data control"); }

private:
    static void global(void* data, wl_registry* registry, uint32_t name, const char* interface,
                       uint32_t version);
    static void globalRemove(void*, wl_registry*, uint32_t) {}
    static void dataOffer(void* data, zwlr_data_control_device_v1*, zwlr_data_control_offer_v1* offer);
    static void selection(void* data, zwlr_data_control_device_v1*, zwlr_data_control_offer_v1* offer);
    static void finished(void* data, zwlr_data_control_device_v1*);
    static void primarySelection(void*, zwlr_data_control_device_v1*, zwlr_data_control_offer_v1* offer);
    static void offerType(void* data, zwlr_data_control_offer_v1* offer, const char* mimeType);
    static void send(void* data, zwlr_data_control_source_v1* source, const char* mimeType, int32_t fd);
    static void cancelled(void* data, zwlr_data_control_source_v1* source);

    void dispatch();
    Content readOffer(const QDeadlineTimer& deadline, bool* inTime);
    void offer(const Content& content, bool isText);
    void close();

    wl_display* m_display = nullptr;
    wl_registry* m_registry = nullptr;
    wl_seat* m_seat = nullptr;
    zwlr_data_control_manager_v1* m_manager = nullptr;
    zwlr_data_control_device_v1* m_device = nullptr;
    zwlr_data_control_offer_v1* m_offer = nullptr; // the selection now
    QVector<QByteArray> m_offerTypes;              // its formats
    zwlr_data_control_offer_v1* m_newOffer = nullptr;
    QVector<QByteArray> m_newOfferTypes;
    zwlr_data_control_source_v1* m_source = nullptr; // ours, while it is the selection
    Content m_sourceContent;
    bool m_sourceIsText = false;
    Content m_kept;      // what hold() found
    bool m_keep = false; // m_kept is whole: it is given back
    std::unique_ptr<QSocketNotifier> m_notifier;
};
