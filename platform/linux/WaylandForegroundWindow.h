#pragma once

#include "platform/ForegroundWindow.h"

#include <QHash>
#include <QMutex>
#include <QString>

struct wl_display;
struct wl_registry;
struct zwlr_foreign_toplevel_manager_v1;
struct zwlr_foreign_toplevel_handle_v1;

// The window in front under Wayland: the app id of the activated toplevel, as the compositor's
// list of toplevels tells it (wlroots compositors), named through the same editor table as X11
// window classes. Where the compositor keeps that list to itself the window is there but its
// class unknown (an empty name), so spoken commands run as for any other window. Wayland tells
// no client where another client's caret is: there is never a caret point.
class WaylandForegroundWindow : public ForegroundWindow {
public:
    // Linux class or app id (lower case) → Windows class.
    explicit WaylandForegroundWindow(const QHash<QString, QString>& classTable);
    ~WaylandForegroundWindow() override;

    std::optional<QString> className() override;
    std::optional<QPoint> caretPoint() override { return std::nullopt; }

    // The name reported for an app id: its table entry, else that of its last dotted part
    // ("org.gnome.gedit", "gedit"), else the app id itself.
    QString mappedName(const QString& appId) const;

private:
    struct Toplevel {
        QString appId, pendingAppId;
        bool activated = false, pendingActivated = false;
    };
    bool connect();
    void close();
    static void global(void* data, wl_registry* registry, uint32_t name, const char* interface,
                       uint32_t version);
    static void globalRemove(void*, wl_registry*, uint32_t) {}
    static void toplevel(void* data, zwlr_foreign_toplevel_manager_v1*,
                         zwlr_foreign_toplevel_handle_v1* handle);
    static void finished(void* data, zwlr_foreign_toplevel_manager_v1*);

    QHash<QString, QString> m_table;
    QMutex m_mutex;
    bool m_tried = false;
    wl_display* m_display = nullptr;
    wl_registry* m_registry = nullptr;
    zwlr_foreign_toplevel_manager_v1* m_manager = nullptr;
    QHash<zwlr_foreign_toplevel_handle_v1*, Toplevel> m_toplevels;
};
