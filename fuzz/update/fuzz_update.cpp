// Feeds arbitrary bytes to the update reply parser and the version comparison.
#include "services/UpdateCheck.h"

#include <QByteArray>
#include <QString>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray body(reinterpret_cast<const char*>(data), static_cast<int>(size));
    QString version;
    if (UpdateCheck::readVersion(body, &version))
        UpdateCheck::isNewer(version);
    return 0;
}
