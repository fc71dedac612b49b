#include "platform/UserSession.h"

#include <QMetaObject>
#include <QObject>
#include <QPointer>

#include <windows.h>

namespace {
QPointer<QObject> s_context;
std::function<void(const QString&)> s_quit;

// Runs on a thread of its own that the console starts for the event.
BOOL WINAPI onConsoleEvent(DWORD type) {
    const QString name = type == CTRL_C_EVENT       ? QStringLiteral("Ctrl+C")
                         : type == CTRL_BREAK_EVENT ? QStringLiteral("Ctrl+Break")
                                                    : QStringLiteral("console close");
    if (!s_context)
        return FALSE;
    QMetaObject::invokeMethod(
        s_context.data(), [name] { s_quit(name); }, Qt::QueuedConnection);
    return TRUE;
}
} // namespace

// Named pipes of a Windows session keep the plain server name.
QString UserSession::localServerName(const QString& name) {
    return name;
}

// The pipe lives in the user's session namespace; the name alone decides.
bool UserSession::peerIsSameUser(qintptr) {
    return true;
}

// A Windows session always has its desktop.
bool UserSession::displayReachable(QString*) {
    return true;
}

// Logging off reaches the windows themselves (WM_ENDSESSION, handled by Qt); a console the
// program was started from asks through its control handler.
void UserSession::onEndRequested(QObject* context, std::function<void(const QString&)> quit) {
    s_context = context;
    s_quit = std::move(quit);
    SetConsoleCtrlHandler(onConsoleEvent, TRUE);
}

// The desktop cannot go away under a running program.
void UserSession::endOnDisplayLoss() {}

void UserSession::endsInOrder() {}

// The low-level mouse hook needs no rights.
bool UserSession::sideKeyReadsInputDevices() {
    return false;
}
