#include "platform/UserSession.h"

// Named pipes of a Windows session already keep the original server name.
QString UserSession::localServerSuffix() {
    return QString();
}
