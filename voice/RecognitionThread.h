#pragma once

#include "voice/TakeQueue.h"
#include "voice/speech/SpeechService.h"

#include <QByteArray>
#include <QMutex>
#include <QString>
#include <QThread>
#include <functional>
#include <memory>

class ConfigStore;

// The recognition thread: logs in to the speech engine and uploads the user words on its own
// thread (the GUI answers at once after launch), then works the take queue in order. Each take's
// samples go to the engine while the side key is still held; the release sends the closing write
// and the text follows. Texts are emitted in the order the takes were begun; a failed take
// affects no other. The thread sleeps while there is nothing to do.
//
// After each take "record.wav" (a copy the capture writes of the latest take) is removed, unless
// a later take has begun writing it meanwhile.
class RecognitionThread : public QThread {
    Q_OBJECT
public:
    using EngineFactory = std::function<std::unique_ptr<SpeechService>()>;

    enum class EngineState {
        Loading, // logging in (loading the model, checking the server)
        Ready,   // logged in, or the latest take was recognised
        Failing  // the engine failed: login, server down, time-out, HTTP error
    };
    Q_ENUM(EngineState)

    // Why a take produced no text.
    enum class Failure {
        LanguageRefused,   // the engine cannot recognise the language the mode asks for
        EngineUnavailable, // first failed take of a stretch of engine failures
    };
    Q_ENUM(Failure)

    // Most bytes of one take's text (UTF-8): a text at or beyond it is refused, as a reply is.
    static constexpr int MaxResultBytes = 1 << 20;
    static constexpr int ChunkSize = 6400;
    static constexpr int TailSize = 12800;
    // Most samples read from a recording left by an earlier run: 5 minutes of 16 kHz mono 16-bit.
    static constexpr qint64 MaxRecordingBytes = 5 * 60 * 16000 * 2;

    // The engine is only constructed here; it logs in on the thread once it runs.
    explicit RecognitionThread(std::unique_ptr<SpeechService> service = SpeechService::create(),
                               QObject* parent = nullptr);
    // Stops the thread (a take already released is finished first), then logs out.
    ~RecognitionThread() override;

    // Where the side key queues its takes.
    TakeQueue& takes() { return m_takes; }

    // Thread-safe. The next take that begins after this call runs on a new engine from the
    // factory, logged in on the recognition thread; takes already begun finish on the old one.
    void setEngineFactory(EngineFactory factory);
    // Thread-safe: whether the current engine can recognise the language index.
    bool canRecognise(int languageIndex) const;
    EngineState engineState() const;
    // For the first start: each mode's recognition language that the engine cannot recognise is
    // changed to the first one it can (for the offline engine: English), and the store saved.
    // True when a language was changed.
    bool adaptLanguagesToEngine(ConfigStore& store) const;

    // Queues the samples of a WAV recording (header checked, at most MaxRecordingBytes of its
    // data chunk read) as a released take. False, with a warning, when it cannot be used.
    bool queueRecording(const QString& path);

    // Session parameters of the latest take (the Mandarin row before the first).
    QByteArray sessionParams() const { return m_takes.sessionParams(); }
    // Result of the latest user-word upload (0 = success, -1 when the file was unusable).
    int uploadResult() const;

signals:
    // The text of a take, in take order; also empty text from a working engine.
    void textRecognised(const QString& text);
    // A take that gave no text for a reason the user should know (see Failure).
    void recognitionFailed(RecognitionThread::Failure failure);
    // The words heard so far in a take whose key is still held. Emitted under the take queue's
    // lock (see TakeQueue::whileHeld): connect it queued.
    void partialRecognised(int takeId, const QString& words);
    void engineStateChanged(RecognitionThread::EngineState state);

public slots:
    void stop();

protected:
    void run() override;

private:
    enum class Outcome { Text, Empty, Cancelled, Refused, EngineFailed };

    void logIn();
    void switchEngineIfAsked();
    int uploadUserwords();
    void recoverLeftover();
    void recognise(const TakeQueue::TakePtr& take);
    Outcome stream(const TakeQueue::TakePtr& take, QByteArray* result);
    // Fetches one fragment and appends it; false (after the warning) on failure or overflow.
    bool fetchResult(SpeechService::Session session, int* recognitionStatus, QByteArray* buffer,
                     Outcome* outcome);
    void setState(EngineState state);

    TakeQueue m_takes;
    std::unique_ptr<SpeechService> m_service; // called on the recognition thread; swapped under m_mutex
    mutable QMutex m_mutex;                   // guards the members below
    EngineFactory m_pendingFactory;
    EngineState m_state = EngineState::Loading;
    int m_uploadResult = 0;
    bool m_failing = false;  // inside a stretch of engine failures
    bool m_leftover = false; // IsRecording was 1 when the thread was made: a take of an earlier run
    const QByteArray m_loginParams;
};
