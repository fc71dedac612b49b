#pragma once

#include <QByteArray>
#include <QMap>
#include <QString>

// The "key = value, key = value" parameter strings of login and session begin.
class SpeechParameters {
public:
    static QMap<QByteArray, QByteArray> parse(const QByteArray& params);
    // The ISO language code of a session: "zh" for Mandarin, Sichuanese and Henanese, "yue" for
    // Cantonese, "en" for English; empty when the parameters name no language.
    static QString languageCode(const QByteArray& params);
};
