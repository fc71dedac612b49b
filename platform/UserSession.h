#pragma once

#include <QString>

// What separates one user's instance of the program from another's on this OS.
class UserSession {
public:
    // Appended to the single-instance server name. On systems whose local sockets live in a
    // directory shared by all users it names the user; elsewhere it is empty.
    static QString localServerSuffix();
};
