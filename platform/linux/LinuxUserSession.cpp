#include "platform/UserSession.h"

#include <unistd.h>

QString UserSession::localServerSuffix() {
    return QStringLiteral("-%1").arg(static_cast<qulonglong>(::getuid()));
}
