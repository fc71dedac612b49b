#pragma once

#include <QString>

// What separates one user's instance of the program from another's on this OS.
class UserSession {
public:
    // Where the local server of the given name listens: a place only this user can create it.
    // Empty when the OS offers no such place (the program then runs without the channel).
    static QString localServerName(const QString& name);

    // Whether the peer of a connected local socket runs as this user. A local socket that
    // another user created must never be taken for this user's own instance.
    static bool peerIsSameUser(qintptr socketDescriptor);
};
