#include "voice/RecognitionThread.h"

#include "app/ConfigStore.h"
#include "voice/AudioCapture.h"
#include "voice/WavWriter.h"
#include "voice/speech/WavHeader.h"

#include <QDir>
#include <QFile>
#include <QMutexLocker>
#include <QtDebug>
#include <limits>

RecognitionThread::RecognitionThread(std::unique_ptr<SpeechService> service, QObject* parent)
    : QThread(parent), m_service(std::move(service)), m_loginParams("appid = 7d2a9f13, work_dir = .") {
    setObjectName(QStringLiteral("recognition"));
    qRegisterMetaType<RecognitionThread::EngineState>();
    qRegisterMetaType<RecognitionThread::Failure>();
    // Read before any take of this run can raise the flag.
    m_leftover = ConfigStore::instance()["IsRecording"] == 1;
}

RecognitionThread::~RecognitionThread() {
    stop();
    wait();
    if (m_service)
        m_service->logout();
}

void RecognitionThread::stop() {
    m_takes.stop();
}

void RecognitionThread::setEngineFactory(EngineFactory factory) {
    {
        QMutexLocker lock(&m_mutex);
        m_pendingFactory = std::move(factory);
    }
    m_takes.wake();
}

bool RecognitionThread::canRecognise(int languageIndex) const {
    QMutexLocker lock(&m_mutex);
    return m_service && m_service->canRecognise(languageIndex);
}

bool RecognitionThread::adaptLanguagesToEngine(ConfigStore& store) const {
    const struct {
        const char* key;
        int languages;
    } modes[] = {{"TypingLanguage", 5}, {"IntelligenceLanguage", 5}, {"TranslationLanguage", 3}};
    bool changed = false;
    for (const auto& mode : modes) {
        const QLatin1String key(mode.key);
        if (canRecognise(store[key]))
            continue;
        for (int language = 0; language < mode.languages; ++language) {
            if (canRecognise(language)) {
                qDebug().noquote() << "Voice Transcribe ," << key << "set to" << language
                                   << "(a language the speech engine recognises)";
                store[key] = language;
                changed = true;
                break;
            }
        }
    }
    if (changed)
        store.save();
    return changed;
}

RecognitionThread::EngineState RecognitionThread::engineState() const {
    QMutexLocker lock(&m_mutex);
    return m_state;
}

int RecognitionThread::uploadResult() const {
    QMutexLocker lock(&m_mutex);
    return m_uploadResult;
}

void RecognitionThread::setState(EngineState state) {
    {
        QMutexLocker lock(&m_mutex);
        if (m_state == state && state != EngineState::Loading)
            return;
        m_state = state;
    }
    emit engineStateChanged(state);
}

void RecognitionThread::logIn() {
    setState(EngineState::Loading);
    const bool loggedIn = m_service->login(QByteArray(), QByteArray(), m_loginParams) == 0;
    if (!loggedIn)
        qWarning("SpeechLogin failed !");
    const int upload = uploadUserwords();
    {
        QMutexLocker lock(&m_mutex);
        m_uploadResult = upload;
    }
    if (upload != 0)
        qWarning("UploadUserwords failed !");
    setState(loggedIn ? EngineState::Ready : EngineState::Failing);
}

void RecognitionThread::switchEngineIfAsked() {
    EngineFactory factory;
    {
        QMutexLocker lock(&m_mutex);
        factory = std::move(m_pendingFactory);
        m_pendingFactory = nullptr;
    }
    if (!factory)
        return;
    std::unique_ptr<SpeechService> next = factory();
    if (!next) {
        qWarning("Speech engine , the new engine could not be created; the current one stays");
        return;
    }
    m_service->logout();
    std::unique_ptr<SpeechService> old;
    {
        QMutexLocker lock(&m_mutex);
        old = std::move(m_service);
        m_service = std::move(next);
    }
    old.reset();
    logIn();
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
    m_service->uploadData("userwords", words, "sub = uup, dtt = userword", &errorCode);
    if (errorCode != 0)
        qWarning("Voice Transcribe , SpeechUploadData failed !");
    return errorCode;
}

bool RecognitionThread::queueRecording(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        qWarning("Voice Transcribe , open audioFile failed !");
        return false;
    }
    QString error;
    const QByteArray samples = WavHeader::readSpeechSamples(file, MaxRecordingBytes, &error);
    if (samples.isNull()) {
        qWarning().noquote() << "Voice Transcribe , the recording" << path << "is not usable:" << error;
        return false;
    }
    m_takes.addClosed(samples);
    return true;
}

void RecognitionThread::recoverLeftover() {
    // An interrupted run left a released take behind: recognise what its file holds.
    if (m_leftover && !queueRecording(QDir::currentPath() + QStringLiteral("/record.wav")))
        m_takes.lowerFlagIfIdle();
}

void RecognitionThread::run() {
    logIn();
    recoverLeftover();
    for (;;) {
        switchEngineIfAsked();
        const TakeQueue::TakePtr take = m_takes.waitForFront();
        if (!take) {
            if (m_takes.stopRequested())
                return;
            continue; // woken for an engine change
        }
        switchEngineIfAsked();
        recognise(take);
    }
}

void RecognitionThread::recognise(const TakeQueue::TakePtr& take) {
    QByteArray result;
    const Outcome outcome = stream(take, &result);
    switch (outcome) {
    case Outcome::Text:
    case Outcome::Empty:
        m_failing = false;
        setState(EngineState::Ready);
        emit textRecognised(outcome == Outcome::Text ? QString::fromUtf8(result) : QString());
        break;
    case Outcome::Refused:
        emit recognitionFailed(Failure::LanguageRefused);
        break;
    case Outcome::EngineFailed:
        setState(EngineState::Failing);
        if (!m_failing)
            emit recognitionFailed(Failure::EngineUnavailable);
        m_failing = true;
        break;
    case Outcome::Cancelled:
        break;
    }
    // A take begun meanwhile owns "record.wav" now; otherwise the file goes with this take.
    if (outcome == Outcome::Cancelled)
        m_takes.finish(take);
    else
        m_takes.finish(take, [] { QFile::remove(QStringLiteral("record.wav")); });
}

bool RecognitionThread::fetchResult(SpeechService::Session session, int* recognitionStatus,
                                    QByteArray* buffer, Outcome* outcome) {
    int errorCode = 0;
    const QByteArray fragment = m_service->getResult(session, recognitionStatus, 0, &errorCode);
    if (errorCode != 0) {
        qWarning("Voice Transcribe , SpeechGetResult failed !");
        *outcome = Outcome::EngineFailed;
        return false;
    }
    if (fragment.isNull())
        return true;
    // Any text a take can give is kept whole; only a runaway engine reaches the bound.
    if (qint64(buffer->size()) + fragment.size() >= MaxResultBytes) {
        qWarning("Voice Transcribe , no enough buffer for rec_result !");
        *outcome = Outcome::Empty;
        return false;
    }
    buffer->append(fragment);
    return true;
}

RecognitionThread::Outcome RecognitionThread::stream(const TakeQueue::TakePtr& take, QByteArray* result) {
    int errorCode = 0;
    int endpointStatus = SpeechService::EndpointNone;
    int recognitionStatus = SpeechService::ResultPending;
    Outcome outcome = Outcome::Text;
    bool failed = false;
    bool first = true;
    bool speechEnded = false;
    QByteArray shown;
    int unasked = 0; // samples sent since the words so far were last asked for

    const SpeechService::Session session =
        m_service->sessionBegin(QByteArray(), take->sessionParams(), &errorCode);
    if (errorCode != 0) {
        qWarning("Voice Transcribe , SpeechSessionBegin failed !");
        failed = true;
        outcome = m_service->canRecognise(take->languageIndex()) ? Outcome::EngineFailed : Outcome::Refused;
    }

    // Sends samples to the engine in pieces of at most one chunk; once the take is closed, less
    // than two chunks left go as one.
    auto send = [&](const QByteArray& samples, bool closed) {
        int sent = 0;
        while (!failed && !speechEnded && (sent < samples.size() || first)) {
            const int left = samples.size() - sent;
            const int length = closed && left < TailSize ? left : qMin(left, int(ChunkSize));
            QByteArray data = samples.mid(sent, length);
            int status = SpeechService::AudioContinue;
            if (first) {
                // The engines take a WAV recording; its sizes are not known while the key is held.
                data.prepend(WavWriter::header(AudioCapture::recordingFormat(), 0));
                status = SpeechService::AudioFirst;
                first = false;
            }
            if (m_service->audioWrite(session, data.constData(), data.size(), status, &endpointStatus,
                                      &recognitionStatus) != 0) {
                qWarning("Voice Transcribe , SpeechAudioWrite failed !");
                failed = true;
                outcome = Outcome::EngineFailed;
                return;
            }
            sent += length;
            if (recognitionStatus == SpeechService::ResultReady &&
                !fetchResult(session, &recognitionStatus, result, &outcome)) {
                failed = true;
                return;
            }
            if (endpointStatus == SpeechService::EndpointSpeechEnded)
                speechEnded = true;
        }
    };

    for (;;) {
        const TakeQueue::Portion portion = m_takes.waitForSamples(take);
        if (portion.cancelled || (portion.stopping && !portion.closed)) {
            outcome = Outcome::Cancelled;
            break;
        }
        if (!failed && (!portion.samples.isEmpty() || portion.closed))
            send(portion.samples, portion.closed);
        unasked += portion.samples.size();
        // Asked for about every 200 ms of audio: finding the best words so far costs the decoder.
        if (!failed && !portion.closed && unasked >= ChunkSize) {
            unasked = 0;
            const QByteArray words = m_service->partialResult(session);
            if (words != shown) {
                shown = words;
                // Words found after the release would land in the next take's window: only
                // a take still held reports them.
                m_takes.whileHeld(take,
                                  [&] { emit partialRecognised(take->id(), QString::fromUtf8(words)); });
            }
        }
        if (!portion.closed)
            continue;
        if (!failed) {
            if (m_service->audioWrite(session, nullptr, 0, SpeechService::AudioLast, &endpointStatus,
                                      &recognitionStatus) != 0) {
                qWarning("Voice Transcribe , SpeechAudioWrite failed !");
                failed = true;
                outcome = Outcome::EngineFailed;
            }
            while (!failed && recognitionStatus != SpeechService::ResultComplete) {
                if (!fetchResult(session, &recognitionStatus, result, &outcome))
                    failed = true;
            }
        }
        break;
    }
    m_service->sessionEnd(session, QByteArray());
    if (outcome == Outcome::Text && result->isEmpty())
        outcome = Outcome::Empty;
    if (outcome != Outcome::Text)
        result->clear();
    return outcome;
}
