#pragma once

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QHash>
#include <QObject>
#include <QStringList>
#include <QVariantMap>
#include <QVector>

// The desktop portal's remote desktop interface, as far as typing needs it, on a connection of
// its own to the given bus. It records the calls and answers each request with a Response signal
// on the request object, after the reply, as the real portal does.
class FakeRemoteDesktopPortal : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.portal.RemoteDesktop")
public:
    explicit FakeRemoteDesktopPortal(const QString& busAddress);
    ~FakeRemoteDesktopPortal() override;

    // Whether it owns the portal's name on the bus.
    bool registered() const { return m_registered; }

    // The Response code per method (CreateSession, SelectDevices, Start): 0 grants (the
    // default), 1 is the user's refusal, 2 a cancel; -1 never answers.
    QHash<QString, int> answers;
    // What Start grants: the device types and the token of the approval.
    uint devices = 1;
    QString restoreToken = QStringLiteral("token-1");

    // The requests in order: the method, then its options that matter ("SelectDevices types=1
    // persist_mode=2 restore_token=token-1").
    QStringList calls;
    // Every keysym event: the keysym, then 1 for a press or 0 for a release.
    QVector<quint32> keyEvents;

public slots:
    QDBusObjectPath CreateSession(const QVariantMap& options, const QDBusMessage& message);
    QDBusObjectPath SelectDevices(const QDBusObjectPath& session, const QVariantMap& options,
                                  const QDBusMessage& message);
    QDBusObjectPath Start(const QDBusObjectPath& session, const QString& parentWindow,
                          const QVariantMap& options, const QDBusMessage& message);
    void NotifyKeyboardKeysym(const QDBusObjectPath& session, const QVariantMap& options, int keysym,
                              uint state);

private:
    QDBusObjectPath answer(const QString& method, const QVariantMap& options, const QDBusMessage& message,
                           const QVariantMap& results);
    static QString senderPart(const QDBusMessage& message);

    QString m_name;
    QDBusConnection m_bus;
    bool m_registered = false;
};
