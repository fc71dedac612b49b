#pragma once

#include <QMap>
#include <QMutex>
#include <QObject>
#include <QString>
#include <atomic>

// The process-wide table of settings and shared flags behind "config.txt": key → signed 32-bit
// integer. Shared by the GUI, side-key and recognition threads: one mutex guards every lookup,
// every assignment and the whole of save. store["Key"] reads and assigns through a small proxy
// that takes the lock for each access.
class ConfigStore : public QObject {
    Q_OBJECT
public:
    class Value {
    public:
        operator int() const { return m_store.value(m_key); }
        Value& operator=(int value) {
            m_store.setValue(m_key, value);
            return *this;
        }
        Value& operator=(const Value& other) { return *this = static_cast<int>(other); }

    private:
        friend class ConfigStore;
        Value(ConfigStore& store, const QString& key) : m_store(store), m_key(key) {}
        ConfigStore& m_store;
        QString m_key;
    };

    // The one store; the first call loads "config.txt" from the current directory.
    static ConfigStore& instance();

    Value operator[](const QString& key) { return Value(*this, key); }

    // Reading a missing key creates it with 0, as it is then written by the next save.
    int value(const QString& key);
    void setValue(const QString& key, int value);

    // Rewrites "config.txt" from the whole map in ascending key order. The new content goes to a
    // temporary file that replaces the old one only when complete. False when nothing was written.
    bool save();

    // Replaces the map with the content of "config.txt" in the current directory. Used at the
    // first instance() call and by tests that move to a fresh directory.
    void reload();

    QMap<QString, int> snapshot();

    // Grows with every change of a value (an assignment of another value, a reload), so windows
    // can tell cheaply whether there is anything to bring in step.
    quint64 generation() const { return m_generation.load(std::memory_order_acquire); }

    // Start-up repairs after the load: content that holds none of the 16 keys (an empty file,
    // one that is not a settings file, one that cannot be read) gets the defaults of the 16 keys,
    // and when no mode flag reads 1 the default mode is switched on. Keys the file held keep
    // their values. Each repair is warned about and saved.
    void repairLoaded();

    // The 16 keys in the order of a new file, with their defaults.
    static const QList<QPair<QString, int>>& defaults();

    ConfigStore(const ConfigStore&) = delete;
    ConfigStore& operator=(const ConfigStore&) = delete;

signals:
    // A value changed (from any thread, outside the lock), so windows follow the store without
    // polling it. Receivers on another thread get it queued.
    void changed();

private:
    ConfigStore() = default;
    static QString filePath();

    QMutex m_mutex;
    QMap<QString, int> m_map;
    std::atomic<quint64> m_generation{0};
};

// Creates "config.txt" with the 16 default lines when it does not exist as a regular file, then
// loads the store from the file and repairs what was loaded.
void writeDefaultConfig();
