// Feeds arbitrary bytes to the update reply parser and the version comparison.
#include "services/VersionControl.h"

#include <QByteArray>
#include <QString>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray body(reinterpret_cast<const char*>(data), static_cast<int>(size));
    QString version;
    if (VersionControl::readVersion(body, &version))
        VersionControl::isNewer(version);
    return 0;
}
