#include "voice/speech/HttpSpeechService.h"

#include "app/LogText.h"
#include "app/ReplyLimiter.h"
#include "app/ServicesConfig.h"
#include "voice/speech/SpeechParameters.h"
#include "voice/speech/WavHeader.h"

#include <QEventLoop>
#include <QHttpMultiPart>
#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QStringList>
#include <QTextCodec>
#include <QtDebug>
#include <QtEndian>

HttpSpeechService::Settings HttpSpeechService::Settings::fromServicesConfig() {
    ServicesConfig& services = ServicesConfig::instance();
    Settings s;
    s.base = QUrl(services.text(QStringLiteral("speech/url"), QString()).trimmed());
    s.key = services.text(QStringLiteral("speech/key"), QString()).trimmed().toUtf8();
    s.model = services.text(QStringLiteral("speech/model"), s.model);
    s.timeoutMs = services.number(QStringLiteral("speech/timeout_ms"), s.timeoutMs);
    if (s.timeoutMs <= 0) {
        qWarning() << "Speech engine , timeout_ms in services.ini must be positive; using 20000";
        s.timeoutMs = 20000;
    }
    return s;
}

HttpSpeechService::HttpSpeechService(const Settings& settings) : m_settings(settings) {}

QUrl HttpSpeechService::endpoint() const {
    QUrl url = m_settings.base;
    QString path = url.path();
    while (path.endsWith(QLatin1Char('/')))
        path.chop(1);
    url.setPath(path + QStringLiteral("/v1/audio/transcriptions"));
    return url;
}

int HttpSpeechService::login(const QByteArray&, const QByteArray&, const QByteArray&) {
    const QString scheme = m_settings.base.scheme();
    if (!m_settings.base.isValid() || (scheme != QLatin1String("http") && scheme != QLatin1String("https"))) {
        qWarning() << "Speech engine , the server address" << LogText::cut(m_settings.base.toString())
                   << "in services.ini is not an http:// or https:// URL";
        return NoServer;
    }
    return 0;
}

int HttpSpeechService::logout() {
    return 0;
}

QString HttpSpeechService::promptFromWords(const QByteArray& words) {
    QTextCodec::ConverterState state;
    QString text = QTextCodec::codecForName("UTF-8")->toUnicode(words.constData(), words.size(), &state);
    if (state.invalidChars > 0) {
        if (QTextCodec* gbk = QTextCodec::codecForName("GBK"))
            text = gbk->toUnicode(words);
    }
    if (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);
    QStringList lines;
    const QStringList parts = text.split(QRegExp(QStringLiteral("[\r\n]+")));
    for (const QString& part : parts) {
        const QString word = part.trimmed();
        if (!word.isEmpty())
            lines << word;
    }
    return lines.join(QStringLiteral(", "));
}

void HttpSpeechService::uploadData(const QByteArray&, const QByteArray& data, const QByteArray&,
                                   int* errorCode) {
    // The words steer the server's recognition as the prompt of every request.
    m_prompt = promptFromWords(data);
    *errorCode = 0;
}

SpeechService::Session HttpSpeechService::sessionBegin(const QByteArray&, const QByteArray& params,
                                                       int* errorCode) {
    if (!m_settings.base.isValid()) {
        *errorCode = NoServer;
        return SpeechService::NoSession;
    }
    m_language = SpeechParameters::languageCode(params);
    m_audio.clear();
    m_text.clear();
    m_final = false;
    m_delivered = false;
    m_session = m_nextSession++;
    if (m_nextSession <= 0)
        m_nextSession = 1;
    *errorCode = 0;
    return m_session;
}

int HttpSpeechService::audioWrite(Session session, const char* data, int length, int audioStatus,
                                  int* endpointStatus, int* recognitionStatus) {
    *endpointStatus = EndpointNone;
    *recognitionStatus = ResultPending;
    if (session == SpeechService::NoSession || session != m_session || m_final)
        return NoSession;
    if (data && length > 0)
        m_audio.append(data, length);
    if (audioStatus != AudioLast)
        return 0;
    m_final = true;
    const int result = transcribe();
    m_audio.clear();
    if (result == 0)
        *recognitionStatus = ResultReady;
    return result;
}

bool HttpSpeechService::parseReply(const QByteArray& body, QString* text) {
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(body, &error);
    if (error.error != QJsonParseError::NoError || !doc.isObject())
        return false;
    const QJsonValue value = doc.object().value(QLatin1String("text"));
    if (!value.isString())
        return false;
    *text = value.toString();
    return true;
}

QByteArray HttpSpeechService::withFinalSizes(const QByteArray& wav) {
    const WavHeader header = WavHeader::parse(wav);
    if (header.state != WavHeader::State::Ready || header.dataSize >= 0)
        return wav;
    QByteArray out = wav;
    const qint64 samples = out.size() - header.dataOffset;
    if (samples < 0 || samples > 0xFFFFFFFFLL - header.dataOffset)
        return wav;
    qToLittleEndian(quint32(out.size() - 8), out.data() + 4);
    qToLittleEndian(quint32(samples), out.data() + header.dataOffset - 4);
    return out;
}

int HttpSpeechService::transcribe() {
    QHttpMultiPart multi(QHttpMultiPart::FormDataType);
    auto field = [&multi](const QString& name, const QByteArray& value) {
        QHttpPart part;
        part.setHeader(QNetworkRequest::ContentDispositionHeader,
                       QStringLiteral("form-data; name=\"%1\"").arg(name));
        part.setBody(value);
        multi.append(part);
    };
    QHttpPart file;
    file.setHeader(QNetworkRequest::ContentDispositionHeader,
                   QStringLiteral("form-data; name=\"file\"; filename=\"record.wav\""));
    file.setHeader(QNetworkRequest::ContentTypeHeader, QStringLiteral("audio/wav"));
    file.setBody(withFinalSizes(m_audio));
    multi.append(file);
    field(QStringLiteral("model"), m_settings.model.toUtf8());
    if (!m_language.isEmpty())
        field(QStringLiteral("language"), m_language.toUtf8());
    if (!m_prompt.isEmpty())
        field(QStringLiteral("prompt"), m_prompt.toUtf8());

    QNetworkRequest request(endpoint());
    if (!m_settings.key.isEmpty())
        request.setRawHeader("Authorization", "Bearer " + m_settings.key);

    // The recognition thread has no event loop of its own: this one runs until the reply ends or
    // its limiter aborts it (one deadline for the whole request, whatever the server sends, and
    // the reply size cap).
    QNetworkAccessManager manager;
    QEventLoop loop;
    QNetworkReply* reply = ReplyLimiter::post(&manager, request, &multi, MaxReplyBytes, m_settings.timeoutMs);
    QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    if (!reply->isFinished())
        loop.exec();
    const ReplyLimiter::Verdict verdict = ReplyLimiter::verdict(reply);
    const bool tooLarge = verdict == ReplyLimiter::TooLarge;
    const bool timedOut = verdict == ReplyLimiter::TooSlow;
    // A refused reply is refused whole: nothing of it is read.
    const QByteArray body = verdict == ReplyLimiter::Within ? reply->readAll() : QByteArray();

    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    const QNetworkReply::NetworkError error = reply->error();
    const QString errorText = reply->errorString();
    reply->disconnect(&loop);
    delete reply;

    if (tooLarge) {
        qWarning().noquote() << "Speech engine , reply larger than" << MaxReplyBytes << "bytes refused from"
                             << LogText::cut(endpoint().toString()) << "!";
        return BadReply;
    }
    if (timedOut) {
        qWarning() << "Speech engine , no complete reply from" << LogText::cut(endpoint().toString())
                   << "within" << m_settings.timeoutMs << "ms";
        return RequestFailed;
    }
    if (status != 0 && (status < 200 || status > 299)) {
        qWarning() << "Speech engine , the server answered HTTP" << status << LogText::cut(body);
        return RequestFailed;
    }
    if (error != QNetworkReply::NoError) {
        qWarning() << "Speech engine , request failed:" << LogText::cut(errorText);
        return RequestFailed;
    }
    QString text;
    if (!parseReply(body, &text)) {
        qWarning() << "Speech engine , the reply is not JSON with a \"text\" string:" << LogText::cut(body);
        return BadReply;
    }
    m_text = text.trimmed().toUtf8();
    return 0;
}

QByteArray HttpSpeechService::getResult(Session session, int* recognitionStatus, int, int* errorCode) {
    if (session == SpeechService::NoSession || session != m_session) {
        *errorCode = NoSession;
        *recognitionStatus = ResultComplete;
        return QByteArray();
    }
    *errorCode = 0;
    if (!m_final) {
        *recognitionStatus = ResultPending;
        return QByteArray();
    }
    *recognitionStatus = ResultComplete;
    if (m_delivered)
        return QByteArray();
    m_delivered = true;
    return m_text;
}

int HttpSpeechService::sessionEnd(Session session, const QByteArray&) {
    if (session != SpeechService::NoSession && session == m_session) {
        m_session = SpeechService::NoSession;
        m_audio.clear();
        m_text.clear();
    }
    return 0;
}
