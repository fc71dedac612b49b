// Feeds arbitrary bytes to the settings loader and saves the result back.
#include "app/ConfigStore.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static QTemporaryDir dir;
    static const bool moved = QDir::setCurrent(dir.path());
    Q_UNUSED(moved);
    QFile file(QStringLiteral("config.txt"));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return 0;
    file.write(reinterpret_cast<const char*>(data), static_cast<qint64>(size));
    file.close();
    ConfigStore& store = ConfigStore::instance();
    store.reload();
    store.save();
    store.reload();
    return 0;
}
