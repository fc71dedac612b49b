#pragma once

#include <QString>
#include <functional>

class QObject;

// What separates one user's instance of the program from another's on this OS, and how the
// user's session reaches the program: its display, and the requests to end.
class UserSession {
public:
    // Where the local server of the given name listens: a place only this user can create it.
    // Empty when the OS offers no such place (the program then runs without the channel).
    static QString localServerName(const QString& name);

    // Whether the peer of a connected local socket runs as this user. A local socket that
    // another user created must never be taken for this user's own instance.
    static bool peerIsSameUser(qintptr socketDescriptor);

    // Whether the windows can be shown: the session's display (X server, Wayland compositor)
    // answers, or Qt is told to use a platform that needs none. Otherwise why says what is missing.
    // Asked before the application object exists, which would abort without a display.
    static bool displayReachable(QString* why);

    // The session asks the program to end (logout, shutdown, a terminal's Ctrl+C or hang-up):
    // quit is called on the thread of context with the request's name, as often as it comes.
    static void onEndRequested(QObject* context, std::function<void(const QString& request)> quit);

    // From this call until endsInOrder(): a lost connection to the display ends the program at once
    // with exit code 1 and one warning in the log, instead of tearing the process down under its
    // running threads.
    static void endOnDisplayLoss();
    // The orderly quit has stopped the threads: the program may end normally from here on.
    static void endsInOrder();

    // Whether the side key comes from the kernel's input events here (a Wayland session), so that
    // their read access decides whether it works.
    static bool sideKeyReadsInputDevices();
};
