#include "voice/RecognitionThread.h"

#include "app/ConfigStore.h"
#include "voice/RecordingReady.h"

#include <QDir>
#include <QFile>
#include <QMutexLocker>
#include <QtDebug>
#include <limits>

const char* const RecognitionThread::sessionRows[5] = {
    "sub = dispatcher, domain = dispatcher, language = zh_cn, accent = mandarin, sample_rate = 16000, "
    "result_type = plain, "
    "result_encoding = utf-8",
    "sub = dispatcher, domain = dispatcher, language = en_us, sample_rate = 16000, result_type = plain, "
    "result_encoding = "
    "utf-8",
    "sub = dispatcher, domain = dispatcher, language = zh_cn, accent = cantonese, sample_rate = 16000, "
    "result_type = "
    "plain, "
    "result_encoding = utf-8",
    "sub = dispatcher, domain = dispatcher, language = zh_cn, accent = lmz, sample_rate = 16000, result_type "
    "= plain, "
    "result_encoding = utf-8",
    "sub = dispatcher, domain = dispatcher, language = zh_cn, accent = henanese, sample_rate = 16000, "
    "result_type = plain, "
    "result_encoding = utf-8",
};

RecognitionThread::RecognitionThread(std::unique_ptr<SpeechService> service, QObject* parent)
    : QThread(parent), m_service(std::move(service)), m_loginParams("appid = 7d2a9f13, work_dir = ."),
      m_sessionParams(sessionRows[0]) {
    if (m_service->login(QByteArray(), QByteArray(), m_loginParams) != 0)
        qWarning("SpeechLogin failed !");
    m_uploadResult = uploadUserwords();
    if (m_uploadResult != 0)
        qWarning("UploadUserwords failed !");
}

RecognitionThread::~RecognitionThread() {
    stop();
    wait();
    QMutexLocker lock(&m_serviceMutex);
    m_service->logout();
}

QByteArray RecognitionThread::sessionParams() const {
    QMutexLocker lock(&m_mutex);
    return m_sessionParams;
}

void RecognitionThread::stop() {
    {
        QMutexLocker lock(&m_mutex);
        m_stopRequested = true;
    }
    // Ends the current wait at once instead of at the next poll.
    RecordingReady::notify();
}

int RecognitionThread::uploadUserwords() {
    int errorCode = -1;
    // The real path, not an 8-bit copy of it: a folder name outside Latin-1 must still work.
    QFile file(QDir::currentPath() + QStringLiteral("/userwords.txt"));
    if (!file.open(QIODevice::ReadOnly)) {
        qWarning("Voice Transcribe , open userwords file failed !");
        return errorCode;
    }
    const qint64 size = file.size();
    QByteArray words;
    if (size >= std::numeric_limits<int>::max()) {
        qWarning("Voice Transcribe , out of memory !");
        return errorCode;
    }
    try {
        words.resize(int(size));
    } catch (const std::bad_alloc&) {
        qWarning("Voice Transcribe , out of memory !");
        return errorCode;
    }
    if (size > 0 && file.read(words.data(), size) < size) {
        qWarning("Voice Transcribe , read userwords file fialed !");
        return errorCode;
    }
    QMutexLocker lock(&m_serviceMutex);
    m_service->uploadData("userwords", words, "sub = uup, dtt = userword", &errorCode);
    if (errorCode != 0)
        qWarning("Voice Transcribe , SpeechUploadData failed !");
    return errorCode;
}

void RecognitionThread::run() {
    for (;;) {
        {
            QMutexLocker lock(&m_mutex);
            if (m_stopRequested)
                return;
        }
        if (!pass())
            RecordingReady::wait(PollMs);
    }
}

void RecognitionThread::chooseSessionParams() {
    ConfigStore& store = ConfigStore::instance();
    const struct {
        const char* modeKey;
        const char* languageKey;
        int languages;
    } modes[] = {{"TypingModel", "TypingLanguage", 5},
                 {"IntelligenceModel", "IntelligenceLanguage", 5},
                 {"TranslationModel", "TranslationLanguage", 3}};
    QMutexLocker lock(&m_mutex);
    for (const auto& mode : modes) {
        if (store.value(QLatin1String(mode.modeKey)) != 1)
            continue;
        const int language = store.value(QLatin1String(mode.languageKey));
        if (language >= 0 && language < mode.languages)
            m_sessionParams = sessionRows[language];
    }
}

bool RecognitionThread::pass() {
    m_audioFilePath = QDir::currentPath() + QStringLiteral("/record.wav");
    chooseSessionParams();
    ConfigStore& store = ConfigStore::instance();
    if (store["IsRecording"] != 1)
        return false;
    recognise(m_audioFilePath, sessionParams());
    emit textRecognised(m_resultText);
    store["IsRecording"] = 0;
    store.save();
    m_resultText.clear();
    QFile::remove(QStringLiteral("record.wav"));
    return true;
}

bool RecognitionThread::fetchResult(SpeechService::Session session, int* recognitionStatus,
                                    QByteArray* buffer) {
    int errorCode = 0;
    const QByteArray fragment = m_service->getResult(session, recognitionStatus, 0, &errorCode);
    if (errorCode != 0) {
        qWarning("Voice Transcribe , SpeechGetResult failed !");
        return false;
    }
    if (fragment.isNull())
        return true;
    // The text must stay below the result buffer's size, its closing NUL included.
    if (buffer->size() + fragment.size() >= ResultBufferSize) {
        qWarning("Voice Transcribe , no enough buffer for rec_result !");
        return false;
    }
    buffer->append(fragment);
    return true;
}

void RecognitionThread::recognise(const QString& audioFile, const QByteArray& sessionParameters) {
    QMutexLocker serviceLock(&m_serviceMutex);
    QByteArray result;
    int endpointStatus = SpeechService::EndpointNone;
    int recognitionStatus = SpeechService::ResultReady;
    int errorCode = 0;
    SpeechService::Session session = SpeechService::NoSession;

    [&] {
        if (audioFile.isEmpty())
            return;
        QFile file(audioFile);
        if (!file.open(QIODevice::ReadOnly)) {
            qWarning("Voice Transcribe , open audioFile failed !");
            return;
        }
        const qint64 size = file.size();
        QByteArray audio;
        if (size >= std::numeric_limits<int>::max()) {
            qWarning("Voice Transcribe , out of memory !");
            return;
        }
        try {
            audio.resize(int(size));
        } catch (const std::bad_alloc&) {
            qWarning("Voice Transcribe , out of memory !");
            return;
        }
        if (size > 0 && file.read(audio.data(), size) < size) {
            qWarning("Voice Transcribe , read audioFile error !");
            return;
        }
        file.close();

        session = m_service->sessionBegin(QByteArray(), sessionParameters, &errorCode);
        if (errorCode != 0) {
            qWarning("Voice Transcribe , SpeechSessionBegin failed !");
            return;
        }

        int sent = 0;
        for (;;) {
            int length = ChunkSize;
            const int left = audio.size() - sent;
            if (left < TailSize)
                length = left;
            if (length <= 0)
                break;
            const int status = sent == 0 ? SpeechService::AudioFirst : SpeechService::AudioContinue;
            if (m_service->audioWrite(session, audio.constData() + sent, length, status, &endpointStatus,
                                      &recognitionStatus) != 0) {
                qWarning("Voice Transcribe , SpeechAudioWrite failed !");
                return;
            }
            sent += length;
            if (recognitionStatus == SpeechService::ResultReady &&
                !fetchResult(session, &recognitionStatus, &result))
                return;
            if (endpointStatus == SpeechService::EndpointSpeechEnded)
                break;
        }

        if (m_service->audioWrite(session, nullptr, 0, SpeechService::AudioLast, &endpointStatus,
                                  &recognitionStatus) != 0) {
            qWarning("Voice Transcribe , SpeechAudioWrite failed !");
            return;
        }
        while (recognitionStatus != SpeechService::ResultComplete) {
            if (!fetchResult(session, &recognitionStatus, &result))
                return;
        }
        m_resultText = QString::fromUtf8(result);
    }();

    m_service->sessionEnd(session, QByteArray());
}
