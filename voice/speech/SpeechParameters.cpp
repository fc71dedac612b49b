#include "voice/speech/SpeechParameters.h"

#include <QList>

QMap<QByteArray, QByteArray> SpeechParameters::parse(const QByteArray& params) {
    QMap<QByteArray, QByteArray> map;
    const QList<QByteArray> pairs = params.split(',');
    for (const QByteArray& pair : pairs) {
        const int eq = pair.indexOf('=');
        if (eq < 0)
            continue;
        const QByteArray key = pair.left(eq).trimmed().toLower();
        if (!key.isEmpty())
            map.insert(key, pair.mid(eq + 1).trimmed());
    }
    return map;
}

QString SpeechParameters::languageCode(const QByteArray& params) {
    const QMap<QByteArray, QByteArray> map = parse(params);
    const QByteArray language = map.value("language").toLower();
    if (language.startsWith("en"))
        return QStringLiteral("en");
    if (language.startsWith("zh")) {
        if (map.value("accent").toLower() == "cantonese")
            return QStringLiteral("yue");
        return QStringLiteral("zh");
    }
    return QString();
}
