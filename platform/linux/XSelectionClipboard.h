#pragma once

#include "platform/linux/PasteClipboard.h"

#include <QDeadlineTimer>
#include <QSocketNotifier>
#include <memory>

// The clipboard as the X server's CLIPBOARD selection, on an X connection of its own with an
// unmapped window as the owner. Under GNOME the X server is Xwayland, and mutter passes its
// CLIPBOARD on to the Wayland windows (and theirs back), with no focus needed.
class XSelectionClipboard : public PasteClipboard {
    Q_OBJECT
public:
    XSelectionClipboard();
    ~XSelectionClipboard() override;

    // Connects to the X server of DISPLAY; false when there is none.
    bool open();
    bool hold(const QString& text) override;
    void giveBack() override;
    QString name() const override { return QStringLiteral("the X server's CLIPBOARD"); }

private:
    struct Private;
    void dispatch();
    void handle(void* event);
    bool waitForNotify(unsigned long target, unsigned long property, unsigned long* type, int* format,
                       QByteArray* data, const QDeadlineTimer& deadline);
    Content read(const QDeadlineTimer& deadline, bool* inTime);
    bool own(const Content& content, bool isText);
    unsigned long serverTime();

    std::unique_ptr<Private> d;
    std::unique_ptr<QSocketNotifier> m_notifier;
    Content m_content; // what we answer for while we own the selection
    bool m_owner = false;
    bool m_isText = false;
    bool m_targetsAsked = false; // someone asked what we offer since we took the selection
    unsigned long m_ownedAt = 0; // the server time we last took the selection at
    Content m_kept;
    bool m_keep = false; // m_kept is whole: it is given back
};
