#include "tests/support/FakeRemoteDesktopPortal.h"

#include <QTimer>

namespace {
const QString kService = QStringLiteral("org.freedesktop.portal.Desktop");
const QString kPrefix = QStringLiteral("/org/freedesktop/portal/desktop");

QString connectionName() {
    static int serial = 0;
    return QStringLiteral("fake-portal-%1").arg(++serial);
}
} // namespace

FakeRemoteDesktopPortal::FakeRemoteDesktopPortal(const QString& busAddress)
    : m_name(connectionName()), m_bus(QDBusConnection::connectToBus(busAddress, m_name)) {
    m_registered = m_bus.isConnected() &&
                   m_bus.registerObject(kPrefix, this, QDBusConnection::ExportAllSlots) &&
                   m_bus.registerService(kService);
}

FakeRemoteDesktopPortal::~FakeRemoteDesktopPortal() {
    m_bus.unregisterService(kService);
    m_bus.unregisterObject(kPrefix);
    QDBusConnection::disconnectFromBus(m_name);
}

// The unique name of the caller as the portal puts it into object paths: ":1.42" → "1_42".
QString FakeRemoteDesktopPortal::senderPart(const QDBusMessage& message) {
    return message.service().mid(1).replace(QLatin1Char('.'), QLatin1Char('_'));
}

QDBusObjectPath FakeRemoteDesktopPortal::answer(const QString& method, const QVariantMap& options,
                                                const QDBusMessage& message, const QVariantMap& results) {
    const QString request =
        QStringLiteral("%1/request/%2/%3")
            .arg(kPrefix, senderPart(message), options.value(QStringLiteral("handle_token")).toString());
    const int code = answers.value(method, 0);
    if (code >= 0) {
        QTimer::singleShot(0, this, [this, request, code, results] {
            QDBusMessage signal = QDBusMessage::createSignal(
                request, QStringLiteral("org.freedesktop.portal.Request"), QStringLiteral("Response"));
            signal << uint(code) << (code == 0 ? results : QVariantMap());
            m_bus.send(signal);
        });
    }
    return QDBusObjectPath(request);
}

QDBusObjectPath FakeRemoteDesktopPortal::CreateSession(const QVariantMap& options,
                                                       const QDBusMessage& message) {
    calls << QStringLiteral("CreateSession");
    const QString session = QStringLiteral("%1/session/%2/%3")
                                .arg(kPrefix, senderPart(message),
                                     options.value(QStringLiteral("session_handle_token")).toString());
    return answer(QStringLiteral("CreateSession"), options, message,
                  {{QStringLiteral("session_handle"), session}});
}

QDBusObjectPath FakeRemoteDesktopPortal::SelectDevices(const QDBusObjectPath&, const QVariantMap& options,
                                                       const QDBusMessage& message) {
    QString call = QStringLiteral("SelectDevices");
    for (const char* key : {"types", "persist_mode", "restore_token"})
        if (options.contains(QLatin1String(key)))
            call += QStringLiteral(" %1=%2").arg(QLatin1String(key),
                                                 options.value(QLatin1String(key)).toString());
    calls << call;
    return answer(QStringLiteral("SelectDevices"), options, message, {});
}

QDBusObjectPath FakeRemoteDesktopPortal::Start(const QDBusObjectPath&, const QString&,
                                               const QVariantMap& options, const QDBusMessage& message) {
    calls << QStringLiteral("Start");
    return answer(QStringLiteral("Start"), options, message,
                  {{QStringLiteral("devices"), devices}, {QStringLiteral("restore_token"), restoreToken}});
}

void FakeRemoteDesktopPortal::NotifyKeyboardKeysym(const QDBusObjectPath&, const QVariantMap&, int keysym,
                                                   uint state) {
    keyEvents << quint32(keysym) << state;
}
