#include "voice/speech/SpeechConnectionTest.h"

#include "app/LogText.h"
#include "app/ReplyLimiter.h"

#include <QHttpMultiPart>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>
#include <QtDebug>
#include <QtEndian>

namespace {
// The two requests, named for the report in the interface language.
const char kSilence[] = QT_TRANSLATE_NOOP("SpeechConnectionTest", "一秒静音");
const char kRecording[] = QT_TRANSLATE_NOOP("SpeechConnectionTest", "最近一次录音");
} // namespace

QString SpeechConnectionTest::Result::message() const {
    switch (outcome) {
    case Outcome::Answered:
        return SpeechConnectionTest::tr("已应答，用时 %1 毫秒：%2")
            .arg(elapsedMs)
            .arg(text.isEmpty() ? SpeechConnectionTest::tr("（无文字）")
                                : SpeechConnectionTest::tr("“%1”").arg(text));
    case Outcome::BadAddress:
        return SpeechConnectionTest::tr("服务器地址无效：请填写以 http:// 或 https:// 开头的地址");
    case Outcome::Unreachable:
        return SpeechConnectionTest::tr("无法连接服务器（%1）").arg(detail);
    case Outcome::HttpError:
        return SpeechConnectionTest::tr("服务器返回 HTTP %1%2")
            .arg(httpStatus)
            .arg(httpStatus == 401 || httpStatus == 403 ? SpeechConnectionTest::tr("，密钥被拒绝")
                                                        : QString());
    case Outcome::TimedOut:
        return SpeechConnectionTest::tr("%1 毫秒内没有应答").arg(elapsedMs);
    case Outcome::BadReply:
        return SpeechConnectionTest::tr("应答无法识别（不是带 text 的 JSON）");
    }
    return QString();
}

SpeechConnectionTest::SpeechConnectionTest(QObject* parent)
    : QObject(parent), m_settings(HttpSpeechService::Settings()) {
    qRegisterMetaType<SpeechConnectionTest::Result>();
}

SpeechConnectionTest::~SpeechConnectionTest() {
    if (m_reply) {
        m_reply->disconnect(this);
        m_reply->abort();
    }
}

QByteArray SpeechConnectionTest::silence(int milliseconds) {
    const quint32 dataSize = quint32(milliseconds) * 16 * 2;
    QByteArray wav(44, '\0');
    auto put32 = [&wav](int at, quint32 v) { qToLittleEndian<quint32>(v, wav.data() + at); };
    auto put16 = [&wav](int at, quint16 v) { qToLittleEndian<quint16>(v, wav.data() + at); };
    wav.replace(0, 4, "RIFF");
    put32(4, 36 + dataSize);
    wav.replace(8, 8, "WAVEfmt ");
    put32(16, 16);
    put16(20, 1);         // PCM
    put16(22, 1);         // mono
    put32(24, 16000);     // samples per second
    put32(28, 16000 * 2); // bytes per second
    put16(32, 2);         // block align
    put16(34, 16);        // bits per sample
    wav.replace(36, 4, "data");
    put32(40, dataSize);
    return wav + QByteArray(int(dataSize), '\0');
}

void SpeechConnectionTest::start(const HttpSpeechService::Settings& settings, const QByteArray& recording) {
    if (m_reply) {
        m_reply->disconnect(this);
        m_reply->abort();
        m_reply->deleteLater();
    }
    m_settings = settings;
    m_recording = recording;
    m_sendingRecording = false;
    const QString scheme = settings.base.scheme();
    if (!settings.base.isValid() || settings.base.host().isEmpty() ||
        (scheme != QLatin1String("http") && scheme != QLatin1String("https"))) {
        // Reported from the event loop, as every other outcome is.
        QTimer::singleShot(0, this, [this] {
            emit answered(tr(kSilence), Result{});
            emit finished(false);
        });
        return;
    }
    send(silence(1000));
}

// The request of the server engine: the recording as "file" and the model, at the engine's
// endpoint with its key.
void SpeechConnectionTest::send(const QByteArray& wav) {
    auto* multi = new QHttpMultiPart(QHttpMultiPart::FormDataType);
    QHttpPart file;
    file.setHeader(QNetworkRequest::ContentDispositionHeader,
                   QStringLiteral("form-data; name=\"file\"; filename=\"record.wav\""));
    file.setHeader(QNetworkRequest::ContentTypeHeader, QStringLiteral("audio/wav"));
    file.setBody(wav);
    multi->append(file);
    QHttpPart model;
    model.setHeader(QNetworkRequest::ContentDispositionHeader, QStringLiteral("form-data; name=\"model\""));
    model.setBody(m_settings.model.toUtf8());
    multi->append(model);

    QNetworkRequest request(HttpSpeechService(m_settings).endpoint());
    if (!m_settings.key.isEmpty())
        request.setRawHeader("Authorization", "Bearer " + m_settings.key);
    m_clock.start();
    // Bounded as the engine's own requests are: the time-out, the size, no compressed reply.
    m_reply = ReplyLimiter::post(&m_manager, request, multi, HttpSpeechService::MaxReplyBytes,
                                 m_settings.timeoutMs);
    multi->setParent(m_reply);
    connect(m_reply, &QNetworkReply::finished, this, &SpeechConnectionTest::onFinished);
}

void SpeechConnectionTest::onFinished() {
    QNetworkReply* reply = m_reply;
    m_reply = nullptr;
    reply->deleteLater();

    Result r;
    r.elapsedMs = m_clock.elapsed();
    r.httpStatus = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    const ReplyLimiter::Verdict verdict = ReplyLimiter::verdict(reply);
    if (verdict == ReplyLimiter::TooSlow) {
        r.outcome = Outcome::TimedOut;
    } else if (verdict == ReplyLimiter::TooLarge) {
        // Refused whole, never cut and parsed; the dialog shows it as an answer it cannot read.
        qWarning().noquote() << "Speech engine , reply larger than" << HttpSpeechService::MaxReplyBytes
                             << "bytes refused from" << LogText::cut(reply->url().toString()) << "!";
        r.outcome = Outcome::BadReply;
    } else if (r.httpStatus != 0 && (r.httpStatus < 200 || r.httpStatus > 299)) {
        r.outcome = Outcome::HttpError;
    } else if (reply->error() != QNetworkReply::NoError) {
        r.outcome = Outcome::Unreachable;
        r.detail = reply->errorString();
    } else if (HttpSpeechService::parseReply(reply->readAll(), &r.text)) {
        r.outcome = Outcome::Answered;
    } else {
        r.outcome = Outcome::BadReply;
    }
    r.text = r.text.trimmed();

    const bool ok = r.outcome == Outcome::Answered;
    emit answered(tr(m_sendingRecording ? kRecording : kSilence), r);
    if (ok && !m_sendingRecording && !m_recording.isEmpty()) {
        m_sendingRecording = true;
        send(m_recording);
        return;
    }
    emit finished(ok);
}
