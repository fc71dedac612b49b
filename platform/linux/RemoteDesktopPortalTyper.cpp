#include "platform/linux/RemoteDesktopPortalTyper.h"

#include "platform/FileWriter.h"
#include "platform/linux/PasteClipboard.h"

#include <QAtomicInt>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QFile>
#include <QtDebug>
#include <xkbcommon/xkbcommon-keysyms.h>
#include <xkbcommon/xkbcommon.h>

namespace {

const QString kService = QStringLiteral("org.freedesktop.portal.Desktop");
const QString kPath = QStringLiteral("/org/freedesktop/portal/desktop");
const QString kInterface = QStringLiteral("org.freedesktop.portal.RemoteDesktop");
const QString kRequestInterface = QStringLiteral("org.freedesktop.portal.Request");
const QString kSessionInterface = QStringLiteral("org.freedesktop.portal.Session");

const uint kKeyboard = 1;   // device type bit
const uint kPersistent = 2; // the approval lasts until the user revokes it
const uint kPressed = 1;
const uint kReleased = 0;
const int kKeyMs = 5000;        // longest wait for the reply to one key event
const int kPasteReadMs = 1500;  // longest wait for the paste to read the clipboard
const int kPasteGraceMs = 100;  // a paste may read the clipboard in several formats
const quint32 kPause = 0;       // not a key: a pause in the key events
const int kPauseMs = 300;       // after the throw-away key of a new session
const int kNoDialogMs = 300;    // a Start answered later than this showed the user a dialog
const int kDialogCloseMs = 600; // time for the dialog to close and the focus to come back

// Handle tokens unique within the process (several typers may share a connection).
QString nextToken(const char* what) {
    static QAtomicInt serial;
    return QStringLiteral("zorvel_%1%2").arg(QLatin1String(what)).arg(serial.fetchAndAddRelaxed(1) + 1);
}

bool isControl(uint c) {
    return c < 0x20 || (c >= 0x7f && c < 0xa0);
}

} // namespace

RemoteDesktopPortalTyper::RemoteDesktopPortalTyper(const QDBusConnection& bus, const QString& tokenFile,
                                                   QObject* parent)
    : QObject(parent), m_bus(bus), m_tokenFile(tokenFile) {
    m_pasteWait.setSingleShot(true);
    connect(&m_pasteWait, &QTimer::timeout, this, &RemoteDesktopPortalTyper::pasteDone);
    m_deadline.setSingleShot(true);
    connect(&m_deadline, &QTimer::timeout, this, [this] {
        fail(QStringLiteral("the desktop portal did not answer within %1 s")
                 .arg(m_deadline.interval() / 1000.0));
    });
}

RemoteDesktopPortalTyper::~RemoteDesktopPortalTyper() {
    releaseHeld();
    if (m_job == Job::Paste && m_clipboard)
        m_clipboard->giveBack();
    closeSession();
}

// The portal would keep the session (and its "remote control" indicator) until we leave the bus.
void RemoteDesktopPortalTyper::closeSession() {
    if (m_session.isEmpty())
        return;
    m_bus.disconnect(kService, m_session, kSessionInterface, QStringLiteral("Closed"), this,
                     SLOT(onSessionClosed()));
    if (m_bus.isConnected())
        m_bus.send(
            QDBusMessage::createMethodCall(kService, m_session, kSessionInterface, QStringLiteral("Close")));
    m_session.clear();
}

void RemoteDesktopPortalTyper::setDeadlines(int stepMs, int approvalMs) {
    m_stepMs = stepMs;
    m_approvalMs = approvalMs;
}

QVector<quint32> RemoteDesktopPortalTyper::keysymsFor(const QString& text, QStringList* untypable) {
    QVector<quint32> keysyms;
    keysyms.reserve(text.size() * 2);
    for (int i = 0; i < text.size(); ++i) {
        uint c = text.at(i).unicode();
        if (QChar::isHighSurrogate(c) && i + 1 < text.size() && text.at(i + 1).isLowSurrogate())
            c = QChar::surrogateToUcs4(ushort(c), text.at(++i).unicode());
        quint32 keysym = XKB_KEY_NoSymbol;
        if (c == '\r' || c == '\n') {
            keysym = XKB_KEY_Return;
            if (c == '\r' && i + 1 < text.size() && text.at(i + 1) == QLatin1Char('\n'))
                ++i;
        } else if (c == '\t') {
            keysym = XKB_KEY_Tab;
        } else if (!isControl(c) && !QChar::isSurrogate(c)) {
            keysym = xkb_utf32_to_keysym(c);
        }
        if (keysym != XKB_KEY_NoSymbol)
            keysyms << keysym;
        else if (untypable)
            *untypable << QStringLiteral("U+%1").arg(c, 4, 16, QLatin1Char('0')).toUpper();
    }
    return keysyms;
}

bool RemoteDesktopPortalTyper::needsPaste(const QString& text) {
    for (const QChar c : text) {
        const ushort u = c.unicode();
        if ((u < 0x20 || u > 0x7e) && u != '\n' && u != '\r' && u != '\t')
            return true;
    }
    return false;
}

void RemoteDesktopPortalTyper::typeText(const QString& text) {
    if (m_state == State::Failed || text.isEmpty())
        return;
    m_texts << text;
    if (m_state == State::Ready) {
        typeNext();
        return;
    }
    if (m_state == State::Starting)
        return;
    if (!m_bus.isConnected()) {
        fail(QStringLiteral("no session bus"));
        return;
    }
    m_state = State::Starting;
    const QString token = nextToken("create");
    request(Step::CreateSession, QStringLiteral("CreateSession"),
            {QVariantMap{{QStringLiteral("handle_token"), token},
                         {QStringLiteral("session_handle_token"), nextToken("session")}}},
            token);
}

// The Response of a request comes on an object whose path follows from our unique name and the
// token; it is watched before the call so that no answer can slip past.
void RemoteDesktopPortalTyper::request(Step step, const QString& method, const QVariantList& arguments,
                                       const QString& token) {
    m_step = step;
    QString sender = m_bus.baseService().mid(1);
    sender.replace(QLatin1Char('.'), QLatin1Char('_'));
    watchRequest(QStringLiteral("/org/freedesktop/portal/desktop/request/%1/%2").arg(sender, token));
    QDBusMessage call = QDBusMessage::createMethodCall(kService, kPath, kInterface, method);
    call.setArguments(arguments);
    m_deadline.start(step == Step::Start ? m_approvalMs : m_stepMs);
    auto* watcher = new QDBusPendingCallWatcher(m_bus.asyncCall(call, m_deadline.interval()), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [this, step](QDBusPendingCallWatcher* w) { onReply(w, step); });
}

void RemoteDesktopPortalTyper::onReply(QDBusPendingCallWatcher* watcher, Step step) {
    watcher->deleteLater();
    // The Response may come before the reply; the session has then moved on to the next step.
    if (m_state != State::Starting || step != m_step)
        return;
    const QDBusPendingReply<QDBusObjectPath> reply = *watcher;
    if (reply.isError()) {
        fail(QStringLiteral("the desktop portal failed (%1)").arg(reply.error().message()));
        return;
    }
    // Older portals do not follow the token and name the request object only in the reply.
    const QString path = reply.value().path();
    if (path != m_requestPath)
        watchRequest(path);
}

void RemoteDesktopPortalTyper::watchRequest(const QString& path) {
    unwatchRequest();
    m_requestPath = path;
    m_bus.connect(kService, path, kRequestInterface, QStringLiteral("Response"), this,
                  SLOT(onResponse(uint, QVariantMap)));
}

void RemoteDesktopPortalTyper::unwatchRequest() {
    if (m_requestPath.isEmpty())
        return;
    m_bus.disconnect(kService, m_requestPath, kRequestInterface, QStringLiteral("Response"), this,
                     SLOT(onResponse(uint, QVariantMap)));
    m_requestPath.clear();
}

void RemoteDesktopPortalTyper::onResponse(uint code, const QVariantMap& results) {
    if (m_state != State::Starting)
        return;
    unwatchRequest();
    m_deadline.stop();
    if (code == 1) {
        fail(QStringLiteral("the user refused the desktop portal's remote desktop session"));
        emit refused();
        return;
    }
    if (code != 0) {
        fail(QStringLiteral("the desktop portal ended the remote desktop session request (response %1)")
                 .arg(code));
        return;
    }
    switch (m_step) {
    case Step::CreateSession: {
        m_session = results.value(QStringLiteral("session_handle")).toString();
        if (m_session.isEmpty()) {
            fail(QStringLiteral("the desktop portal named no session"));
            return;
        }
        m_bus.connect(kService, m_session, kSessionInterface, QStringLiteral("Closed"), this,
                      SLOT(onSessionClosed()));
        QVariantMap options{{QStringLiteral("handle_token"), nextToken("select")},
                            {QStringLiteral("types"), kKeyboard},
                            {QStringLiteral("persist_mode"), kPersistent}};
        const QString restore = readToken();
        if (!restore.isEmpty())
            options.insert(QStringLiteral("restore_token"), restore);
        request(Step::SelectDevices, QStringLiteral("SelectDevices"),
                {QVariant::fromValue(QDBusObjectPath(m_session)), options},
                options.value(QStringLiteral("handle_token")).toString());
        break;
    }
    case Step::SelectDevices: {
        const QString token = nextToken("start");
        m_startClock.start();
        request(Step::Start, QStringLiteral("Start"),
                {QVariant::fromValue(QDBusObjectPath(m_session)), QString(),
                 QVariantMap{{QStringLiteral("handle_token"), token}}},
                token);
        break;
    }
    case Step::Start: {
        if (!(results.value(QStringLiteral("devices")).toUInt() & kKeyboard)) {
            fail(QStringLiteral("the desktop portal granted no keyboard"));
            return;
        }
        const QString token = results.value(QStringLiteral("restore_token")).toString();
        if (!token.isEmpty())
            saveToken(token);
        m_step = Step::None;
        m_state = State::Ready;
        m_sessionNew = true;
        qDebug("Text injection , typing through the desktop portal's remote desktop session");
        // An approval dialog (GNOME) answers Start before it has closed and given the focus
        // back: keys sent at once would go to the dialog.
        if (m_startClock.elapsed() > kNoDialogMs) {
            m_settling = true;
            QTimer::singleShot(kDialogCloseMs, this, [this] {
                m_settling = false;
                typeNext();
            });
        } else {
            typeNext();
        }
        break;
    }
    case Step::None:
        break;
    }
}

// The user ended the session (or the portal did): the approval is withdrawn, and the user is
// not asked again in this run.
void RemoteDesktopPortalTyper::onSessionClosed() {
    m_bus.disconnect(kService, m_session, kSessionInterface, QStringLiteral("Closed"), this,
                     SLOT(onSessionClosed()));
    m_session.clear();
    m_held.clear(); // the compositor drops the session's keys with it
    fail(QStringLiteral("the desktop portal closed the remote desktop session"));
}

void RemoteDesktopPortalTyper::fail(const QString& why) {
    if (m_state == State::Failed)
        return;
    unwatchRequest();
    m_deadline.stop();
    m_state = State::Failed;
    m_step = Step::None;
    releaseHeld();
    m_keys.clear();
    m_texts.clear();
    if (m_job == Job::Paste && m_clipboard)
        m_clipboard->giveBack();
    m_pasteWait.stop();
    m_job = Job::None;
    qWarning().noquote() << QStringLiteral("Text injection , %1, recognised text is not typed !").arg(why);
    closeSession();
}

// Starts the next waiting text, whole, by keys or by the clipboard.
void RemoteDesktopPortalTyper::typeNext() {
    while (m_state == State::Ready && !m_settling && m_job == Job::None && !m_texts.isEmpty()) {
        const QString text = m_texts.takeFirst();
        m_keys.clear();
        if (needsPaste(text)) {
            if (!m_clipboardTried) {
                m_clipboardTried = true;
                m_clipboard = PasteClipboard::create();
                if (m_clipboard)
                    connect(m_clipboard.get(), &PasteClipboard::textRead, this, [this] {
                        if (m_job == Job::Paste && m_pasteArmed)
                            m_pasteWait.start(kPasteGraceMs);
                    });
            }
            if (!m_clipboard || !m_clipboard->hold(text)) {
                qWarning().noquote()
                    << QStringLiteral(
                           "Text injection , the text holds characters the keyboard layout may lack "
                           "and %1, text of %2 characters not typed !")
                           .arg(m_clipboard ? QStringLiteral("the clipboard could not be set")
                                            : QStringLiteral("no clipboard can be set without the focus"))
                           .arg(text.size());
                continue;
            }
            m_job = Job::Paste;
            m_pasteArmed = false;
            m_keys << Key{XKB_KEY_Shift_L, true} << Key{XKB_KEY_Insert, true} << Key{XKB_KEY_Insert, false}
                   << Key{XKB_KEY_Shift_L, false};
        } else {
            m_job = Job::Keys;
            for (const quint32 keysym : keysymsFor(text))
                m_keys << Key{keysym, true} << Key{keysym, false};
        }
        // GNOME drops the first key of a new session, and after its dialog gives the focus back
        // only on the next input: a Shift press and release goes first, and a pause after it.
        if (m_sessionNew) {
            m_keys.prepend(Key{kPause, false});
            m_keys.prepend(Key{XKB_KEY_Shift_L, false});
            m_keys.prepend(Key{XKB_KEY_Shift_L, true});
            m_sessionNew = false;
        }
        sendNextKey();
    }
}

// One key event at a time, the next only after the portal has answered the one before.
void RemoteDesktopPortalTyper::sendNextKey() {
    if (m_sending || m_state != State::Ready)
        return;
    if (m_keys.isEmpty()) {
        keysSent();
        return;
    }
    const Key key = m_keys.takeFirst();
    if (key.keysym == kPause) {
        m_sending = true;
        QTimer::singleShot(kPauseMs, this, [this] {
            m_sending = false;
            sendNextKey();
        });
        return;
    }
    if (key.keysym == XKB_KEY_Insert && key.press)
        m_pasteArmed = true;
    QDBusMessage call =
        QDBusMessage::createMethodCall(kService, kPath, kInterface, QStringLiteral("NotifyKeyboardKeysym"));
    call.setArguments({QVariant::fromValue(QDBusObjectPath(m_session)), QVariantMap(), int(key.keysym),
                       key.press ? kPressed : kReleased});
    if (key.press)
        m_held << key.keysym;
    else
        m_held.removeOne(key.keysym);
    m_sending = true;
    auto* watcher = new QDBusPendingCallWatcher(m_bus.asyncCall(call, kKeyMs), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher* w) {
        w->deleteLater();
        m_sending = false;
        if (m_state != State::Ready)
            return;
        if (w->isError()) {
            fail(QStringLiteral("the desktop portal did not take a key (%1)").arg(w->error().message()));
            return;
        }
        sendNextKey();
    });
}

void RemoteDesktopPortalTyper::keysSent() {
    if (m_job == Job::Keys) {
        m_job = Job::None;
        typeNext();
    } else if (m_job == Job::Paste && !m_pasteWait.isActive()) {
        m_pasteWait.start(kPasteReadMs);
    }
}

// The paste has read the clipboard (or had its time): the user's content goes back.
void RemoteDesktopPortalTyper::pasteDone() {
    if (m_job != Job::Paste)
        return;
    if (!m_keys.isEmpty() || m_sending) {
        // Read before the last key event was answered: wait for the keys to finish.
        m_pasteWait.start(kPasteGraceMs);
        return;
    }
    m_clipboard->giveBack();
    m_job = Job::None;
    m_pasteArmed = false;
    typeNext();
}

// Releases every key pressed and not released, without waiting: the session is ending.
void RemoteDesktopPortalTyper::releaseHeld() {
    if (m_session.isEmpty() || !m_bus.isConnected()) {
        m_held.clear();
        return;
    }
    QDBusMessage call =
        QDBusMessage::createMethodCall(kService, kPath, kInterface, QStringLiteral("NotifyKeyboardKeysym"));
    while (!m_held.isEmpty()) {
        call.setArguments({QVariant::fromValue(QDBusObjectPath(m_session)), QVariantMap(),
                           int(m_held.takeLast()), kReleased});
        m_bus.send(call);
    }
}

QString RemoteDesktopPortalTyper::readToken() const {
    QFile file(m_tokenFile);
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    return QString::fromUtf8(file.read(4096)).trimmed();
}

void RemoteDesktopPortalTyper::saveToken(const QString& token) {
    if (!FileWriter::write(m_tokenFile, token.toUtf8() + '\n', "Text injection"))
        qWarning("Text injection , the desktop portal will ask again at the next start !");
}
