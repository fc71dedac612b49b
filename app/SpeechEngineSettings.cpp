#include "app/SpeechEngineSettings.h"

#include "app/ServicesConfig.h"
#include "app/ServicesIniEditor.h"

#include <QtDebug>

SpeechEngineSettings SpeechEngineSettings::fromServicesConfig() {
    ServicesConfig& services = ServicesConfig::instance();
    SpeechEngineSettings s;
    s.url = services.text(QStringLiteral("speech/url"), QString()).trimmed();
    s.key = services.text(QStringLiteral("speech/key"), QString()).trimmed();
    s.model = services.text(QStringLiteral("speech/model"), s.model);
    const QString engine = services.text(QStringLiteral("speech/engine"), QString()).trimmed().toLower();
    if (engine.isEmpty())
        s.engine = s.url.isEmpty() ? Offline : Server;
    else
        s.engine = engine == QLatin1String("http") ? Server : Offline;
    return s;
}

bool SpeechEngineSettings::canRecognise(int languageIndex) const {
    if (usesServer())
        return languageIndex >= 0 && languageIndex <= 4;
    return languageIndex == 1;
}

bool SpeechEngineSettings::save(const QString& path, QString* error) const {
    const ServicesIniEditor::Keys keys = {
        {QStringLiteral("engine"), engine == Server ? QStringLiteral("http") : QStringLiteral("offline")},
        {QStringLiteral("url"), url.trimmed()},
        {QStringLiteral("key"), key.trimmed()},
        {QStringLiteral("model"), model.trimmed().isEmpty() ? QStringLiteral("default") : model.trimmed()}};
    ServicesConfig& services = ServicesConfig::instance();
    for (const auto& [name, value] : keys)
        services.setValue(QStringLiteral("speech/") + name, value);
    // A file that cannot be written is reported by the editor; the values hold for this run.
    return ServicesIniEditor::write(path, QStringLiteral("speech"), keys, error);
}
