#include "app/ConfigStore.h"

#include "platform/FileWriter.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMutexLocker>
#include <QTextStream>
#include <QtDebug>
#include <algorithm>

const QList<QPair<QString, int>>& ConfigStore::defaults() {
    static const QList<QPair<QString, int>> table = {
        {QStringLiteral("TypingModel"), 0},
        {QStringLiteral("IntelligenceModel"), 1},
        {QStringLiteral("TranslationModel"), 0},
        {QStringLiteral("TypingLanguage"), 0},
        {QStringLiteral("IntelligenceLanguage"), 0},
        {QStringLiteral("TranslationLanguage"), 0},
        {QStringLiteral("TranslationResultLanguage"), 1},
        {QStringLiteral("AutomaticUpdate"), 1},
        {QStringLiteral("ReminderUpdate"), 0},
        {QStringLiteral("NotUpdate"), 0},
        {QStringLiteral("BootUp"), 0},
        {QStringLiteral("ClosePrompt"), 0},
        {QStringLiteral("RemovePunctuation"), 0},
        {QStringLiteral("MonitorZorvelMouseConnect"), 0},
        {QStringLiteral("FirstOpen"), 0},
        {QStringLiteral("IsRecording"), 0},
    };
    return table;
}

QString ConfigStore::filePath() {
    return QDir::currentPath() + QStringLiteral("/config.txt");
}

ConfigStore& ConfigStore::instance() {
    // Never destroyed: threads may still read it while the process winds down.
    static ConfigStore* store = [] {
        auto* s = new ConfigStore;
        s->reload();
        return s;
    }();
    return *store;
}

int ConfigStore::value(const QString& key) {
    QMutexLocker lock(&m_mutex);
    auto it = m_map.find(key);
    // A key created by reading holds the 0 every reader saw already: not a change.
    if (it == m_map.end())
        it = m_map.insert(key, 0);
    return it.value();
}

void ConfigStore::setValue(const QString& key, int value) {
    {
        QMutexLocker lock(&m_mutex);
        auto it = m_map.find(key);
        if (it != m_map.end() && it.value() == value)
            return;
        m_map.insert(key, value);
        ++m_generation;
    }
    emit changed();
}

QMap<QString, int> ConfigStore::snapshot() {
    QMutexLocker lock(&m_mutex);
    return m_map;
}

void ConfigStore::reload() {
    QMap<QString, int> map;
    QFile file(filePath());
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        qWarning("Singleton mode, open file failed !");
    } else {
        QTextStream in(&file);
        while (!in.atEnd()) {
            const QString line = in.readLine();
            // A line without "=" names no setting (an empty line among them); it is skipped
            // rather than turned into a key, so it never reappears as a "line=0" entry.
            if (!line.contains(QLatin1Char('=')))
                continue;
            const QStringList parts = line.split(QLatin1Char('='));
            bool ok = false;
            const int number = parts.at(1).toInt(&ok, 10);
            map.insert(parts.at(0), ok ? number : 0);
        }
    }
    {
        QMutexLocker lock(&m_mutex);
        m_map = map;
        ++m_generation;
    }
    emit changed();
}

void ConfigStore::repairLoaded() {
    bool repaired = false;
    {
        QMutexLocker lock(&m_mutex);
        const auto& table = defaults();
        const bool holdsSetting = std::any_of(
            table.begin(), table.end(), [this](const auto& entry) { return m_map.contains(entry.first); });
        if (!holdsSetting) {
            for (const auto& entry : table)
                m_map.insert(entry.first, entry.second);
            repaired = true;
        }
    }
    if (repaired)
        qWarning("Singleton mode, config file holds no settings, using the defaults !");

    // A store with no working mode would take every utterance and do nothing with it.
    ConfigStore& store = *this;
    if (store["TypingModel"] != 1 && store["IntelligenceModel"] != 1 && store["TranslationModel"] != 1) {
        qWarning("Singleton mode, no working mode is set, using intelligent mode !");
        store["IntelligenceModel"] = 1;
        repaired = true;
    }
    if (repaired) {
        ++m_generation;
        emit changed();
        save();
    }
}

bool ConfigStore::save() {
    QMutexLocker lock(&m_mutex);
    QByteArray bytes;
    QTextStream out(&bytes, QIODevice::WriteOnly);
    for (auto it = m_map.cbegin(); it != m_map.cend(); ++it)
        out << it.key() << '=' << it.value() << '\n';
    out.flush();
    // On failure the old file stays as it was; nothing half-written replaces it.
    return FileWriter::write(filePath(), bytes, "Singleton mode", nullptr, QIODevice::Text);
}

void writeDefaultConfig() {
    const QString path = QDir::currentPath() + QStringLiteral("/config.txt");
    const QFileInfo info(path);
    if (!info.exists() || !info.isFile()) {
        QByteArray bytes;
        for (const auto& entry : ConfigStore::defaults())
            bytes += entry.first.toUtf8() + '=' + QByteArray::number(entry.second) + '\n';
        FileWriter::write(path, bytes, "Singleton mode", nullptr, QIODevice::Text);
    }
    // The store holds what is on disk now, whenever it was first loaded.
    ConfigStore& store = ConfigStore::instance();
    store.reload();
    store.repairLoaded();
}
