#pragma once

#include <QString>

// The engine choice of the [speech] section of "services.ini" as the settings dialog edits it:
// the built-in offline engine or a transcription server with its address, key and model.
class SpeechEngineSettings {
public:
    enum Engine { Offline, Server };

    Engine engine = Offline;
    QString url;
    QString key;
    QString model = QStringLiteral("default");

    // As the program reads it: engine= when given, otherwise a url= chooses the server.
    static SpeechEngineSettings fromServicesConfig();

    // The server is used only when it has an address; otherwise the offline engine serves.
    bool usesServer() const { return engine == Server && !url.trimmed().isEmpty(); }
    // Language index 0 Mandarin, 1 English, 2 Cantonese, 3 Sichuanese, 4 Henanese: the offline
    // engine knows English only, a server is asked for every language.
    bool canRecognise(int languageIndex) const;

    // Writes engine, url, key and model into the [speech] section of the file (every other line
    // kept) and into the running configuration, which keeps them even when the file cannot be
    // written; then false with the reason in error.
    bool save(const QString& path, QString* error) const;
};
