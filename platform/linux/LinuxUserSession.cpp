#include "platform/UserSession.h"

#include "platform/linux/DesktopSession.h"

#include <QObject>
#include <QSocketNotifier>
#include <QStandardPaths>
#include <QStringList>
#include <QtDebug>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <mutex>

#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>
#include <wayland-client.h>

#include <X11/Xlib.h>

namespace {

// The write end is all a signal handler touches: one byte per signal, the signal's number.
int s_endPipe[2] = {-1, -1};

extern "C" void onEndSignal(int number) {
    const int saved = errno;
    const auto byte = static_cast<unsigned char>(number);
    if (::write(s_endPipe[1], &byte, 1) < 0) {
        // A full pipe already holds a request to end.
    }
    errno = saved;
}

QString signalName(int number) {
    switch (number) {
    case SIGTERM:
        return QStringLiteral("SIGTERM");
    case SIGINT:
        return QStringLiteral("SIGINT");
    case SIGHUP:
        return QStringLiteral("SIGHUP");
    default:
        return QStringLiteral("signal %1").arg(number);
    }
}

std::atomic<bool> s_watchingDisplay{false};
QtMessageHandler s_nextHandler = nullptr;

// Straight to the log handler: Qt hands a message logged inside a handler to stderr instead.
// Several threads may meet the loss at once; the others wait here until the line is written,
// since the next thing each does is end the process.
void tellDisplayLoss() {
    static std::once_flag told;
    std::call_once(told, [] {
        const QString line =
            QStringLiteral("Session , the connection to the display was lost, the program ends !");
        if (s_nextHandler)
            s_nextHandler(QtWarningMsg, QMessageLogContext(), line);
        else
            qWarning().noquote() << line;
    });
}

// Ends without running the process's exit code: threads still run, and what static destructors
// would take from under them is what crashed before.
[[noreturn]] void endAfterDisplayLoss() {
    tellDisplayLoss();
    ::_exit(1);
}

// Qt's X11 connection tells its loss in words of its own, and another connection may tell it
// too: the log gets one line for it.
void mergeDisplayLossLines(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (s_watchingDisplay.load() && message.startsWith(QLatin1String("The X11 connection broke")))
        tellDisplayLoss();
    else if (s_nextHandler)
        s_nextHandler(type, context, message);
}

// Xlib's own handler calls exit() on whichever thread met the loss first (the side key's
// connection, the typing one or Qt's).
int onDisplayIoError(Display*) {
    endAfterDisplayLoss();
}

// Qt's X11 connection calls exit(1) on the GUI thread while the worker threads run: end here,
// before the static objects are destroyed.
void beforeExit() {
    if (s_watchingDisplay.load())
        endAfterDisplayLoss();
}

bool xServerAnswers(QString* why) {
    if (qEnvironmentVariableIsEmpty("DISPLAY")) {
        *why = QStringLiteral("no X display (DISPLAY is not set)");
        return false;
    }
    Display* display = XOpenDisplay(nullptr);
    if (!display) {
        *why = QStringLiteral("the X display %1 does not answer").arg(qEnvironmentVariable("DISPLAY"));
        return false;
    }
    XCloseDisplay(display);
    return true;
}

bool compositorAnswers(QString* why) {
    wl_display* display = wl_display_connect(nullptr);
    if (!display) {
        *why = qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")
                   ? QStringLiteral("no Wayland display (WAYLAND_DISPLAY is not set)")
                   : QStringLiteral("the Wayland display %1 does not answer")
                         .arg(qEnvironmentVariable("WAYLAND_DISPLAY"));
        return false;
    }
    wl_display_disconnect(display);
    return true;
}

} // namespace

// The runtime folder: $XDG_RUNTIME_DIR, else a 0700 folder of the user's own in the temporary
// folder. Qt refuses a folder that another user owns (someone who planted it first).
QString UserSession::localServerName(const QString& name) {
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (folder.isEmpty())
        return QString();
    return folder + QLatin1Char('/') + name;
}

bool UserSession::peerIsSameUser(qintptr socketDescriptor) {
    struct ucred credentials = {};
    socklen_t length = sizeof credentials;
    if (::getsockopt(int(socketDescriptor), SOL_SOCKET, SO_PEERCRED, &credentials, &length) != 0 ||
        length != sizeof credentials)
        return false;
    return credentials.uid == ::geteuid();
}

bool UserSession::displayReachable(QString* why) {
    // Qt's own choice: QT_QPA_PLATFORM, a list tried in order; by default the X server.
    QStringList platforms =
        qEnvironmentVariable("QT_QPA_PLATFORM").split(QLatin1Char(';'), Qt::SkipEmptyParts);
    if (platforms.isEmpty())
        platforms << QStringLiteral("xcb");
    QStringList missing;
    for (const QString& platform : std::as_const(platforms)) {
        QString reason;
        const QString name = platform.section(QLatin1Char(':'), 0, 0);
        if (name == QLatin1String("xcb")                ? xServerAnswers(&reason)
            : name.startsWith(QLatin1String("wayland")) ? compositorAnswers(&reason)
                                                        : true) // offscreen, minimal, vnc … need none
            return true;
        missing << reason;
    }
    *why = missing.join(QStringLiteral("; "));
    return false;
}

void UserSession::onEndRequested(QObject* context, std::function<void(const QString&)> quit) {
    if (s_endPipe[0] >= 0)
        return;
    if (::pipe2(s_endPipe, O_CLOEXEC | O_NONBLOCK) != 0) {
        qWarning("Session , no pipe for the end signals, SIGTERM ends the program without its quit !");
        return;
    }
    auto* notifier = new QSocketNotifier(s_endPipe[0], QSocketNotifier::Read, context);
    QObject::connect(notifier, &QSocketNotifier::activated, context, [quit] {
        unsigned char number = 0;
        while (::read(s_endPipe[0], &number, 1) == 1)
            quit(signalName(number));
    });
    struct sigaction action = {};
    action.sa_handler = onEndSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int number : {SIGTERM, SIGINT, SIGHUP})
        sigaction(number, &action, nullptr);
}

void UserSession::endOnDisplayLoss() {
    static std::atomic<bool> registered{false};
    if (!registered.exchange(true)) {
        std::atexit(beforeExit);
        s_nextHandler = qInstallMessageHandler(mergeDisplayLossLines);
    }
    XSetIOErrorHandler(onDisplayIoError);
    s_watchingDisplay = true;
}

void UserSession::endsInOrder() {
    s_watchingDisplay = false;
}

bool UserSession::sideKeyReadsInputDevices() {
    return DesktopSession::isWayland();
}
