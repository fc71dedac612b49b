#pragma once

#include <QDBusConnection>
#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <QVariantMap>
#include <QVector>
#include <memory>

class PasteClipboard;
class QDBusPendingCallWatcher;

// Types Unicode text through the desktop portal's remote desktop interface (GNOME, KDE), for
// Wayland compositors that offer no virtual keyboard. The first text opens a session: create it,
// ask for a keyboard (persistent, with the token of the last approval so that the user is asked
// only once), start it; each step answers on a request object of its own. Text that arrives
// meanwhile waits and is typed once the session has started.
//
// The compositors type a keysym only when the active keyboard layout holds it, so a text of
// plain ASCII goes key by key (every layout in use holds it, and it reaches terminals too), and
// any other text is put on the clipboard whole and pasted with Shift+Insert, the user's clipboard
// given back after the paste has read it. Texts go one after the other, each whole by one way.
// The portal passes calls on in its own order, so each key event is sent only after the reply to
// the one before; every press is followed by its release, and what is held when a session ends
// or fails is released. Nothing here blocks: every step has a deadline, and a session that is
// refused, cancelled, fails or runs out of time is reported once; nothing is typed through the
// portal for the rest of the run, and the user is not asked again.
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

    // Whether the text goes by the clipboard: anything but printable ASCII, Return and Tab.
    static bool needsPaste(const QString& text);
    // Whether nothing is being typed and nothing waits.
    bool idle() const { return m_texts.isEmpty() && m_job == Job::None; }

    // The keysyms that type the text: newline and carriage return (alone or as a pair) give
    // Return, tab gives Tab; other control characters and broken surrogates have none and are
    // added to untypable (as "U+0001").
    static QVector<quint32> keysymsFor(const QString& text, QStringList* untypable = nullptr);

signals:
    // The user refused or cancelled the approval (once: the portal is not asked again).
    void refused();

private slots:
    void onResponse(uint code, const QVariantMap& results);
    void onSessionClosed();

private:
    enum class State { Idle, Starting, Ready, Failed };
    enum class Step { None, CreateSession, SelectDevices, Start };
    enum class Job { None, Keys, Paste };
    struct Key {
        quint32 keysym;
        bool press;
    };

    void request(Step step, const QString& method, const QVariantList& arguments, const QString& token);
    void onReply(QDBusPendingCallWatcher* watcher, Step step);
    void watchRequest(const QString& path);
    void unwatchRequest();
    void fail(const QString& why);
    void closeSession();
    void typeNext();
    void sendNextKey();
    void keysSent();
    void pasteDone();
    void releaseHeld();
    QString readToken() const;
    void saveToken(const QString& token);

    QDBusConnection m_bus;
    QString m_tokenFile;
    State m_state = State::Idle;
    Step m_step = Step::None;
    QString m_requestPath;   // the request object whose Response is awaited
    QString m_session;       // the session's object path
    QStringList m_texts;     // texts waiting, each typed whole
    Job m_job = Job::None;   // the text being typed
    QVector<Key> m_keys;     // its key events not sent yet
    bool m_sending = false;  // a key event awaits its reply
    QVector<quint32> m_held; // keys pressed and not released
    bool m_sessionNew = false;
    std::unique_ptr<PasteClipboard> m_clipboard;
    bool m_clipboardTried = false;
    bool m_pasteArmed = false;  // the paste key went out: a read of the clipboard is the paste
    QTimer m_pasteWait;         // how long the paste may take to read the clipboard
    QElapsedTimer m_startClock; // since Start was asked
    bool m_settling = false;    // waiting for an approval dialog to close
    QTimer m_deadline;
    int m_stepMs = 15000;
    int m_approvalMs = 120000;
    unsigned m_serial = 0;
};
