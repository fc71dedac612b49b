#include "tests/support/TestDir.h"

#include "app/ConfigStore.h"
#include "app/ServicesConfig.h"

#include <QDir>
#include <QFile>

TestDir::TestDir(const QString& subFolder) : m_previous(QDir::currentPath()) {
    m_path = m_dir.path();
    if (!subFolder.isEmpty()) {
        m_path += QLatin1Char('/') + subFolder;
        QDir().mkpath(m_path);
    }
    QDir::setCurrent(m_path);
    reloadSettings();
}

TestDir::~TestDir() {
    QDir::setCurrent(m_previous);
}

void TestDir::write(const QString& name, const QByteArray& content) const {
    QFile f(file(name));
    if (f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        f.write(content);
}

QByteArray TestDir::read(const QString& name) const {
    QFile f(file(name));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void TestDir::reloadSettings() {
    ConfigStore::instance().reload();
    ServicesConfig::instance().reload();
}

QString TestDir::sourceDir() {
    const QString dir = qEnvironmentVariable("ZORVEL_SOURCE_DIR");
    return dir.isEmpty() ? QStringLiteral(".") : dir;
}

QString TestDir::dataDir() {
    return sourceDir() + QStringLiteral("/data");
}
