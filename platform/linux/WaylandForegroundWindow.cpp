#include "platform/linux/WaylandForegroundWindow.h"

#include "platform/linux/protocols/wlr-foreign-toplevel-management-unstable-v1-client-protocol.h"

#include <QMutexLocker>
#include <algorithm>
#include <cstring>
#include <wayland-client.h>

WaylandForegroundWindow::WaylandForegroundWindow(const QHash<QString, QString>& classTable) {
    for (auto it = classTable.cbegin(); it != classTable.cend(); ++it)
        m_table.insert(it.key().toLower(), it.value());
}

WaylandForegroundWindow::~WaylandForegroundWindow() {
    close();
}

QString WaylandForegroundWindow::mappedName(const QString& appId) const {
    for (const QString& name : {appId, appId.section(QLatin1Char('.'), -1)}) {
        const auto it = m_table.constFind(name.toLower());
        if (it != m_table.cend())
            return it.value();
    }
    return appId;
}

void WaylandForegroundWindow::global(void* data, wl_registry* registry, uint32_t name, const char* interface,
                                     uint32_t version) {
    auto* self = static_cast<WaylandForegroundWindow*>(data);
    if (self->m_manager || std::strcmp(interface, zwlr_foreign_toplevel_manager_v1_interface.name) != 0)
        return;
    self->m_manager = static_cast<zwlr_foreign_toplevel_manager_v1*>(
        wl_registry_bind(registry, name, &zwlr_foreign_toplevel_manager_v1_interface, std::min(version, 3u)));
    static const zwlr_foreign_toplevel_manager_v1_listener listener = {&WaylandForegroundWindow::toplevel,
                                                                       &WaylandForegroundWindow::finished};
    zwlr_foreign_toplevel_manager_v1_add_listener(self->m_manager, &listener, self);
}

void WaylandForegroundWindow::toplevel(void* data, zwlr_foreign_toplevel_manager_v1*,
                                       zwlr_foreign_toplevel_handle_v1* handle) {
    auto* self = static_cast<WaylandForegroundWindow*>(data);
    self->m_toplevels.insert(handle, Toplevel());
    static const zwlr_foreign_toplevel_handle_v1_listener listener = {
        [](void*, zwlr_foreign_toplevel_handle_v1*, const char*) {}, // title
        [](void* data, zwlr_foreign_toplevel_handle_v1* handle, const char* appId) {
            auto* self = static_cast<WaylandForegroundWindow*>(data);
            self->m_toplevels[handle].pendingAppId = QString::fromUtf8(appId);
        },
        [](void*, zwlr_foreign_toplevel_handle_v1*, wl_output*) {}, // output_enter
        [](void*, zwlr_foreign_toplevel_handle_v1*, wl_output*) {}, // output_leave
        [](void* data, zwlr_foreign_toplevel_handle_v1* handle, wl_array* states) {
            auto* self = static_cast<WaylandForegroundWindow*>(data);
            bool activated = false;
            const auto* state = static_cast<const uint32_t*>(states->data);
            for (size_t i = 0; i < states->size / sizeof(uint32_t); ++i)
                activated |= state[i] == ZWLR_FOREIGN_TOPLEVEL_HANDLE_V1_STATE_ACTIVATED;
            self->m_toplevels[handle].pendingActivated = activated;
        },
        [](void* data, zwlr_foreign_toplevel_handle_v1* handle) { // done: the details are complete
            auto* self = static_cast<WaylandForegroundWindow*>(data);
            Toplevel& t = self->m_toplevels[handle];
            t.appId = t.pendingAppId;
            t.activated = t.pendingActivated;
        },
        [](void* data, zwlr_foreign_toplevel_handle_v1* handle) { // closed
            auto* self = static_cast<WaylandForegroundWindow*>(data);
            self->m_toplevels.remove(handle);
            zwlr_foreign_toplevel_handle_v1_destroy(handle);
        },
        [](void*, zwlr_foreign_toplevel_handle_v1*, zwlr_foreign_toplevel_handle_v1*) {}, // parent
    };
    zwlr_foreign_toplevel_handle_v1_add_listener(handle, &listener, self);
}

void WaylandForegroundWindow::finished(void* data, zwlr_foreign_toplevel_manager_v1* manager) {
    auto* self = static_cast<WaylandForegroundWindow*>(data);
    zwlr_foreign_toplevel_manager_v1_destroy(manager);
    self->m_manager = nullptr;
}

bool WaylandForegroundWindow::connect() {
    if (m_display && wl_display_get_error(m_display) != 0)
        close();
    if (m_display)
        return m_manager != nullptr;
    if (m_tried)
        return false;
    m_tried = true;
    m_display = wl_display_connect(nullptr);
    if (!m_display)
        return false;
    static const wl_registry_listener listener = {&WaylandForegroundWindow::global,
                                                  &WaylandForegroundWindow::globalRemove};
    m_registry = wl_display_get_registry(m_display);
    wl_registry_add_listener(m_registry, &listener, this);
    wl_display_roundtrip(m_display); // the globals
    wl_display_roundtrip(m_display); // the toplevels and their details
    return m_manager != nullptr;
}

void WaylandForegroundWindow::close() {
    for (auto it = m_toplevels.cbegin(); it != m_toplevels.cend(); ++it)
        zwlr_foreign_toplevel_handle_v1_destroy(it.key());
    m_toplevels.clear();
    if (m_manager)
        zwlr_foreign_toplevel_manager_v1_destroy(m_manager);
    if (m_registry)
        wl_registry_destroy(m_registry);
    if (m_display)
        wl_display_disconnect(m_display);
    m_manager = nullptr;
    m_registry = nullptr;
    m_display = nullptr;
    m_tried = false;
}

std::optional<QString> WaylandForegroundWindow::className() {
    QMutexLocker lock(&m_mutex);
    if (!connect() || wl_display_roundtrip(m_display) < 0)
        return QString(); // a window is there, its class unknown
    for (const Toplevel& t : qAsConst(m_toplevels))
        if (t.activated)
            return mappedName(t.appId);
    return QString();
}
