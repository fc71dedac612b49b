#pragma once

#include <QMutex>
#include <QString>
#include <QUrl>
#include <QVariant>
#include <QVariantMap>

// Addresses and options that the user may change without rebuilding: "services.ini" in the
// working folder (INI format), read once at start. Every reader passes its compiled-in default, which
// stands for a missing file or key. Keys are "section/name".
class ServicesConfig {
public:
    static ServicesConfig& instance();

    QVariant value(const QString& key, const QVariant& fallback) const;
    QString text(const QString& key, const QString& fallback) const;
    int number(const QString& key, int fallback) const;
    // The keys of one section ("section/name" → value), e.g. for extensible tables.
    QVariantMap section(const QString& section) const;

    // The product web page: opened by a long middle-button press and when an update is available.
    QUrl productPage() const;

    // Changes one value for the rest of the run (the settings dialog, also when the file could
    // not be written).
    void setValue(const QString& key, const QVariant& value);

    // Reads "services.ini" from the current directory again (start-up and tests).
    void reload();
    // An installed copy: the shipped "services.ini" gives the values the user's copy in the
    // current directory does not set (key by key). Reloads. An empty path turns this off.
    void setShippedFile(const QString& path);

private:
    ServicesConfig() = default;
    mutable QMutex m_mutex;
    QVariantMap m_values;
    QString m_shippedFile;
};
