#include "voice/speech/SpeechService.h"

#include "app/LogText.h"
#include "app/ServicesConfig.h"
#include "voice/speech/HttpSpeechService.h"
#include "voice/speech/OfflineSpeechService.h"

#include <QtDebug>

std::unique_ptr<SpeechService> SpeechService::create() {
    ServicesConfig& services = ServicesConfig::instance();
    const QString url = services.text(QStringLiteral("speech/url"), QString()).trimmed();
    QString engine = services.text(QStringLiteral("speech/engine"), QString()).trimmed().toLower();
    if (engine.isEmpty())
        engine = url.isEmpty() ? QStringLiteral("offline") : QStringLiteral("http");

    if (engine == QLatin1String("http")) {
        if (!url.isEmpty())
            return std::make_unique<HttpSpeechService>(HttpSpeechService::Settings::fromServicesConfig());
        qWarning() << "Speech engine , engine=http needs url= in the [speech] section of services.ini;"
                      " using the offline engine";
    } else if (engine != QLatin1String("offline")) {
        qWarning() << "Speech engine , unknown engine" << LogText::cut(engine)
                   << "in services.ini (offline or http); using the offline engine";
    }
    return std::make_unique<OfflineSpeechService>(OfflineSpeechService::Settings::fromServicesConfig());
}

QByteArray SpeechService::partialResult(Session) {
    return QByteArray();
}
