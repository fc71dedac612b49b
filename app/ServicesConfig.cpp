#include "app/ServicesConfig.h"

#include "app/LogText.h"

#include <QDir>
#include <QFileInfo>
#include <QMutexLocker>
#include <QSettings>
#include <QtDebug>

ServicesConfig& ServicesConfig::instance() {
    static ServicesConfig* config = [] {
        auto* c = new ServicesConfig;
        c->reload();
        return c;
    }();
    return *config;
}

// Adds the keys of one INI file to values, replacing those already there.
static void readInto(const QString& path, QVariantMap& values) {
    if (!QFileInfo::exists(path))
        return;
    QSettings ini(path, QSettings::IniFormat);
    ini.setIniCodec("UTF-8");
    if (ini.status() != QSettings::NoError)
        qWarning("Services settings , services.ini could not be read, using the built-in defaults !");
    for (const QString& key : ini.allKeys())
        values.insert(key, ini.value(key));
}

void ServicesConfig::reload() {
    QVariantMap values;
    QString shipped;
    {
        QMutexLocker lock(&m_mutex);
        shipped = m_shippedFile;
    }
    const QString path = QDir::currentPath() + QStringLiteral("/services.ini");
    if (!shipped.isEmpty() && QFileInfo(shipped) != QFileInfo(path))
        readInto(shipped, values);
    readInto(path, values);
    QMutexLocker lock(&m_mutex);
    m_values = values;
}

void ServicesConfig::setShippedFile(const QString& path) {
    {
        QMutexLocker lock(&m_mutex);
        m_shippedFile = path;
    }
    reload();
}

QVariant ServicesConfig::value(const QString& key, const QVariant& fallback) const {
    QMutexLocker lock(&m_mutex);
    return m_values.value(key, fallback);
}

QString ServicesConfig::text(const QString& key, const QString& fallback) const {
    const QVariant v = value(key, fallback);
    // A list value (an unquoted comma in the file) is joined back as it was written.
    if (v.type() == QVariant::StringList)
        return v.toStringList().join(QLatin1Char(','));
    return v.toString();
}

int ServicesConfig::number(const QString& key, int fallback) const {
    bool ok = false;
    const int n = value(key, fallback).toInt(&ok);
    if (!ok) {
        qWarning().noquote() << "Services settings , not a number for" << LogText::cut(key) << ", using"
                             << fallback;
        return fallback;
    }
    return n;
}

QUrl ServicesConfig::productPage() const {
    return QUrl(text(QStringLiteral("product/page"), QStringLiteral("http://www.zorvel.com/mouse")),
                QUrl::StrictMode);
}

QVariantMap ServicesConfig::section(const QString& section) const {
    QMutexLocker lock(&m_mutex);
    QVariantMap out;
    const QString prefix = section + QLatin1Char('/');
    for (auto it = m_values.cbegin(); it != m_values.cend(); ++it)
        if (it.key().startsWith(prefix))
            out.insert(it.key().mid(prefix.size()), it.value());
    return out;
}

void ServicesConfig::setValue(const QString& key, const QVariant& value) {
    QMutexLocker lock(&m_mutex);
    m_values.insert(key, value);
}
