#pragma once

#include "app/ConfigStore.h"
#include "app/FontSetup.h"
#include "tests/support/TestDir.h"

#include <QFile>
#include <QIcon>
#include <QMap>
#include <QTextStream>
#include <QtTest>
#include <memory>

// Shared pieces of the user-interface tests.
namespace uitest {

// The key/value lines of "config.txt" in the current directory as saved last.
inline QMap<QString, int> saved() {
    QMap<QString, int> values;
    QFile file(QStringLiteral("config.txt"));
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return values;
    QTextStream in(&file);
    while (!in.atEnd()) {
        const QStringList parts = in.readLine().split(QLatin1Char('='));
        if (parts.size() == 2)
            values.insert(parts[0], parts[1].toInt());
    }
    return values;
}

// Sets keys in the store and saves them, as a previous run would have left them.
inline void preset(const QMap<QString, int>& values) {
    ConfigStore& store = ConfigStore::instance();
    for (auto it = values.cbegin(); it != values.cend(); ++it)
        store[it.key()] = it.value();
    store.save();
}

// True when the icon shows the same picture as the resource file.
inline bool sameIcon(const QIcon& icon, const QString& resource) {
    const QImage expected = QIcon(resource).pixmap(16, 16).toImage();
    return !icon.isNull() && !expected.isNull() && icon.pixmap(16, 16).toImage() == expected;
}

// One temporary working directory per test case, also used as the home of the start-at-logon
// entries so that no test touches the user's session.
class Fixture {
public:
    void init() {
        m_dir = std::make_unique<TestDir>();
        qputenv("XDG_CONFIG_HOME", m_dir->path().toUtf8());
    }
    void cleanup() {
        // Windows closed during the case go now, before their directory does.
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        m_dir.reset();
    }

private:
    std::unique_ptr<TestDir> m_dir;
};

} // namespace uitest
