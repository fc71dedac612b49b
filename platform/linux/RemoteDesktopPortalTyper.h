#pragma once

#include <QDBusConnection>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <QVariantMap>
#include <QVector>

class QDBusPendingCallWatcher;

// Types Unicode text through the desktop portal's remote desktop interface (GNOME, KDE), for
// Wayland compositors that offer no virtual keyboard. The first text opens a session: create it,
// ask for a keyboard (persistent, with the token of the last approval so that the user is asked
// only once), start it; each step answers on a request object of its own. Text that arrives
// meanwhile waits and is typed once the session has started, one keysym press and release per
// character. Nothing here ever blocks: every step has a deadline, and a session that is refused,
// cancelled, fails or runs out of time is reported once; nothing is typed through the portal for
// the rest of the run.
class RemoteDesktopPortalTyper : public QObject {
    Q_OBJECT
public:
    // The token of the user's approval is kept in tokenFile, relative to the working folder.
    explicit RemoteDesktopPortalTyper(const QDBusConnection& bus = QDBusConnection::sessionBus(),
                                      const QString& tokenFile = QStringLiteral("portal_token.txt"),
                                      QObject* parent = nullptr);
    ~RemoteDesktopPortalTyper() override;

    // False once the portal has refused or failed: it will type nothing in this run.
    bool usable() const { return m_state != State::Failed; }
    // Types the text, opening the session first when there is none.
    void typeText(const QString& text);

    // How long a step may take, and the step that waits for the user's approval.
    void setDeadlines(int stepMs, int approvalMs);

    // The keysyms that type the text: newline and carriage return (alone or as a pair) give
    // Return, tab gives Tab; other control characters and broken surrogates have none and are
    // added to untypable (as "U+0001").
    static QVector<quint32> keysymsFor(const QString& text, QStringList* untypable = nullptr);

private slots:
    void onResponse(uint code, const QVariantMap& results);
    void onSessionClosed();

private:
    enum class State { Idle, Starting, Ready, Failed };
    enum class Step { None, CreateSession, SelectDevices, Start };

    void request(Step step, const QString& method, const QVariantList& arguments, const QString& token);
    void onReply(QDBusPendingCallWatcher* watcher, Step step);
    void watchRequest(const QString& path);
    void unwatchRequest();
    void fail(const QString& why);
    void closeSession();
    void typePending();
    QString readToken() const;
    void saveToken(const QString& token);

    QDBusConnection m_bus;
    QString m_tokenFile;
    State m_state = State::Idle;
    Step m_step = Step::None;
    QString m_requestPath; // the request object whose Response is awaited
    QString m_session;     // the session's object path
    QString m_pending;     // text waiting for the session
    QTimer m_deadline;
    int m_stepMs = 15000;
    int m_approvalMs = 120000;
    unsigned m_serial = 0;
};
