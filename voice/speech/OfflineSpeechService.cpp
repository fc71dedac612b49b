#include "voice/speech/OfflineSpeechService.h"

#include "app/LogText.h"
#include "app/ServicesConfig.h"
#include "voice/speech/SpeechParameters.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QVector>
#include <QtDebug>
#include <cmath>
#include <pocketsphinx.h>

OfflineSpeechService::Settings OfflineSpeechService::Settings::fromServicesConfig() {
    ServicesConfig& services = ServicesConfig::instance();
    Settings s;
    s.acousticModel = services.text(QStringLiteral("speech/offline_model"), s.acousticModel);
    s.languageModel = services.text(QStringLiteral("speech/offline_lm"), s.languageModel);
    s.dictionary = services.text(QStringLiteral("speech/offline_dict"), s.dictionary);
    s.minLevel = services.number(QStringLiteral("speech/offline_min_level"), s.minLevel);
    return s;
}

// ZORVEL_OFFLINE_MODEL_DIR comes from the build: absolute, or relative to the executable's folder.
QString OfflineSpeechService::Settings::modelFile(const QString& name) {
    const QString dir = QStringLiteral(ZORVEL_OFFLINE_MODEL_DIR);
    if (QDir::isAbsolutePath(dir))
        return dir + QLatin1Char('/') + name;
    return QCoreApplication::applicationDirPath() + QLatin1Char('/') + dir + QLatin1Char('/') + name;
}

OfflineSpeechService::OfflineSpeechService(const Settings& settings) : m_settings(settings) {}

OfflineSpeechService::~OfflineSpeechService() {
    logout();
}

int OfflineSpeechService::login(const QByteArray&, const QByteArray&, const QByteArray&) {
    if (m_decoder)
        return 0;
    for (const QString& path : {m_settings.acousticModel, m_settings.languageModel, m_settings.dictionary}) {
        if (!QFileInfo::exists(path)) {
            qWarning() << "Offline speech engine , model file missing:" << LogText::cut(path)
                       << "(install pocketsphinx-en-us or set offline_model, offline_lm, offline_dict in "
                          "services.ini)";
            return NotLoggedIn;
        }
    }
    const QByteArray hmm = QFile::encodeName(m_settings.acousticModel);
    const QByteArray lm = QFile::encodeName(m_settings.languageModel);
    const QByteArray dict = QFile::encodeName(m_settings.dictionary);
    // The engine's own chatter goes nowhere ("/dev/null" here, "NUL" on Windows).
    const QByteArray noLog = QFile::encodeName(QProcess::nullDevice());
    // The second search passes only refine the final text a little but multiply its latency.
    cmd_ln_t* config = cmd_ln_init(nullptr, ps_args(), TRUE, "-hmm", hmm.constData(), "-lm", lm.constData(),
                                   "-dict", dict.constData(), "-fwdflat", "no", "-bestpath", "no", "-logfn",
                                   noLog.constData(), static_cast<const char*>(nullptr));
    if (!config) {
        qWarning("Offline speech engine , bad decoder configuration !");
        return NotLoggedIn;
    }
    m_decoder = ps_init(config);
    cmd_ln_free_r(config);
    if (!m_decoder) {
        qWarning("Offline speech engine , loading the model failed !");
        return NotLoggedIn;
    }
    return 0;
}

int OfflineSpeechService::logout() {
    if (m_session != NoSession)
        sessionEnd(m_session, QByteArray());
    if (m_decoder) {
        ps_free(m_decoder);
        m_decoder = nullptr;
    }
    return 0;
}

void OfflineSpeechService::uploadData(const QByteArray&, const QByteArray& data, const QByteArray&,
                                      int* errorCode) {
    // The dictionary already holds the pronunciations this model can recognise; words it lacks
    // cannot be added without their phones, so they are only named in the log.
    *errorCode = 0;
    if (!m_decoder)
        return;
    QStringList unknown;
    const QList<QByteArray> lines = data.split('\n');
    for (const QByteArray& line : lines) {
        const QByteArray word = line.trimmed().toLower();
        if (word.isEmpty() || word.contains(' '))
            continue;
        char* phones = ps_lookup_word(m_decoder, word.constData());
        if (phones)
            ckd_free(phones);
        else
            unknown << QString::fromUtf8(word);
    }
    if (!unknown.isEmpty())
        qDebug() << "Offline speech engine , user words without a pronunciation:" << unknown;
}

SpeechService::Session OfflineSpeechService::sessionBegin(const QByteArray&, const QByteArray& params,
                                                          int* errorCode) {
    if (!m_decoder) {
        *errorCode = NotLoggedIn;
        return NoSession;
    }
    if (SpeechParameters::languageCode(params) != QLatin1String("en")) {
        if (!m_languageWarned) {
            m_languageWarned = true;
            qWarning()
                << "Offline speech engine , no model for this language (only English is recognised"
                   " offline); to recognise Chinese set engine=http, url=<server address> and key= in the"
                   " [speech] section of services.ini";
        }
        *errorCode = NoLanguageModel;
        return NoSession;
    }
    if (m_session != NoSession)
        sessionEnd(m_session, QByteArray());
    resetSession();
    m_session = m_nextSession++;
    if (m_nextSession <= 0)
        m_nextSession = 1;
    *errorCode = 0;
    return m_session;
}

void OfflineSpeechService::resetSession() {
    m_head.clear();
    m_header = WavHeader();
    m_samplesLeft = -1;
    m_quiet.clear();
    m_loud = false;
    m_inSpeech = false;
    m_haveOddByte = false;
    m_pending.clear();
    m_committed.clear();
    m_anyText = false;
    m_final = false;
}

double OfflineSpeechService::level(const char* samples, qint64 bytes) {
    const qint64 count = bytes / 2;
    if (count <= 0)
        return 0;
    double sum = 0;
    for (qint64 i = 0; i < count; ++i) {
        const qint16 s = qint16(quint16(uchar(samples[2 * i])) | quint16(uchar(samples[2 * i + 1])) << 8);
        sum += double(s) * s;
    }
    return std::sqrt(sum / double(count));
}

void OfflineSpeechService::commitSegment() {
    const char* hyp = ps_get_hyp(m_decoder, nullptr);
    const QByteArray text = QByteArray(hyp ? hyp : "").trimmed();
    if (text.isEmpty())
        return;
    // Fragments are joined without separators, so later ones bring their own space.
    if (m_anyText) {
        m_pending.append(' ');
        m_committed.append(' ');
    }
    m_pending.append(text);
    m_committed.append(text);
    m_anyText = true;
}

bool OfflineSpeechService::feed(const char* samples, qint64 bytes) {
    if (!m_loud) {
        m_quiet.append(samples, int(bytes));
        if (level(samples, bytes) < m_settings.minLevel)
            return true;
        // The take got loud: the decoder gets it from its beginning.
        m_loud = true;
        if (ps_start_utt(m_decoder) < 0)
            return false;
        const QByteArray held = m_quiet;
        m_quiet.clear();
        return feed(held.constData(), held.size());
    }
    const qint64 n = bytes / 2;
    if (n > 0) {
        // The samples are little-endian 16-bit; copy to get aligned values.
        QVector<int16> buffer(static_cast<int>(n));
        memcpy(buffer.data(), samples, size_t(n * 2));
        if (ps_process_raw(m_decoder, buffer.constData(), size_t(n), FALSE, FALSE) < 0)
            return false;
    }
    const bool inSpeech = ps_get_in_speech(m_decoder) != 0;
    if (m_inSpeech && !inSpeech) {
        // A pause: what was said before it is final and can be handed back now.
        if (ps_end_utt(m_decoder) < 0)
            return false;
        commitSegment();
        if (ps_start_utt(m_decoder) < 0)
            return false;
    }
    m_inSpeech = inSpeech;
    return true;
}

int OfflineSpeechService::audioWrite(Session session, const char* data, int length, int audioStatus,
                                     int* endpointStatus, int* recognitionStatus) {
    *endpointStatus = EndpointNone;
    *recognitionStatus = ResultPending;
    if (!m_decoder || session == NoSession || session != m_session || m_final)
        return NotLoggedIn;
    QByteArray bytes;
    if (data && length > 0)
        bytes = QByteArray::fromRawData(data, length);

    if (m_header.state != WavHeader::State::Ready) {
        m_head.append(bytes);
        m_header = WavHeader::parse(m_head);
        if (m_header.state == WavHeader::State::Invalid) {
            qWarning() << "Offline speech engine , the recording is not a WAV file:" << m_header.error;
            return BadAudio;
        }
        if (m_header.state == WavHeader::State::NeedMore) {
            if (audioStatus != AudioLast)
                return 0;
            qWarning("Offline speech engine , the recording ends inside its WAV header !");
            return BadAudio;
        }
        if (!m_header.isSpeechFormat()) {
            qWarning() << "Offline speech engine , the recording is" << m_header.describe()
                       << "; only 16000 Hz mono 16-bit PCM is recognised";
            m_header.state = WavHeader::State::Invalid;
            return BadAudio;
        }
        m_samplesLeft = m_header.dataSize;
        bytes = m_head.mid(int(m_header.dataOffset));
        m_head.clear();
    }

    if (!bytes.isEmpty()) {
        if (m_samplesLeft >= 0) {
            bytes.truncate(int(qMin<qint64>(bytes.size(), m_samplesLeft)));
            m_samplesLeft -= bytes.size();
        }
        if (m_haveOddByte) {
            bytes.prepend(m_oddByte);
            m_haveOddByte = false;
        }
        if (bytes.size() & 1) {
            m_oddByte = bytes.at(bytes.size() - 1);
            m_haveOddByte = true;
            bytes.chop(1);
        }
        if (!bytes.isEmpty() && !feed(bytes.constData(), bytes.size())) {
            qWarning("Offline speech engine , decoding failed !");
            return DecoderFailed;
        }
    }

    if (audioStatus == AudioLast) {
        if (m_loud) {
            if (ps_end_utt(m_decoder) < 0) {
                qWarning("Offline speech engine , decoding failed !");
                return DecoderFailed;
            }
            m_loud = false;
            commitSegment();
        }
        m_final = true;
    }
    if (!m_pending.isEmpty() || m_final)
        *recognitionStatus = ResultReady;
    return 0;
}

QByteArray OfflineSpeechService::getResult(Session session, int* recognitionStatus, int, int* errorCode) {
    if (session == NoSession || session != m_session) {
        *errorCode = NotLoggedIn;
        *recognitionStatus = ResultComplete;
        return QByteArray();
    }
    *errorCode = 0;
    *recognitionStatus = m_final ? ResultComplete : ResultPending;
    if (m_pending.isEmpty())
        return QByteArray();
    QByteArray text = m_pending;
    m_pending.clear();
    return text;
}

int OfflineSpeechService::sessionEnd(Session session, const QByteArray&) {
    if (session == NoSession || session != m_session)
        return 0;
    if (m_loud && m_decoder)
        ps_end_utt(m_decoder); // an abandoned take: its text is dropped
    resetSession();
    m_session = NoSession;
    return 0;
}

QByteArray OfflineSpeechService::partialResult(Session session) {
    if (!m_decoder || session == NoSession || session != m_session || m_final)
        return QByteArray();
    QByteArray text = m_committed;
    if (m_loud) {
        const char* hyp = ps_get_hyp(m_decoder, nullptr);
        const QByteArray current = QByteArray(hyp ? hyp : "").trimmed();
        if (!current.isEmpty()) {
            if (!text.isEmpty())
                text.append(' ');
            text.append(current);
        }
    }
    return text;
}
