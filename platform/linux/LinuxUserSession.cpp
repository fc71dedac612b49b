#include "platform/UserSession.h"

#include <QStandardPaths>
#include <QtDebug>

#include <sys/socket.h>
#include <unistd.h>

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
