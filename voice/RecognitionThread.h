#pragma once

#include "voice/speech/SpeechService.h"

#include <QByteArray>
#include <QMutex>
#include <QString>
#include <QThread>
#include <memory>

// The recognition thread: logs in to the speech engine and uploads the user words when it is
// constructed, then waits for each finished recording (IsRecording = 1), streams "record.wav"
// through one recognition session with the parameters of the current mode and language, emits
// the text, clears the flag and deletes the file.
class RecognitionThread : public QThread {
    Q_OBJECT
public:
    // Session parameter rows by language index: Mandarin, English, Cantonese, Sichuanese, Henanese.
    static const char* const sessionRows[5];
    static constexpr int ResultBufferSize = 4096;
    static constexpr int ChunkSize = 6400;
    static constexpr int TailSize = 12800;
    static constexpr unsigned long PollMs = 200;

    explicit RecognitionThread(std::unique_ptr<SpeechService> service = SpeechService::create(),
                               QObject* parent = nullptr);
    // Stops the loop, waits for a running session to end, then logs out.
    ~RecognitionThread() override;

    // The session parameters of the latest pass (the Mandarin row before the first).
    QByteArray sessionParams() const;
    // Result of the user-word upload at construction (0 = success, -1 when the file was unusable).
    int uploadResult() const { return m_uploadResult; }

signals:
    void textRecognised(const QString& text);

public slots:
    // One recognition session over the given file; on success the text is in resultText().
    void recognise(const QString& audioFile, const QByteArray& sessionParameters);
    int uploadUserwords();
    void stop();

public:
    QString resultText() const { return m_resultText; }
    // One pass of the loop: picks the session parameters and, when a recording is waiting,
    // recognises it, emits the text, clears the flag and deletes the file. True when a recording
    // was handled. run() calls it; tests and benchmarks may call it directly.
    bool pass();

protected:
    void run() override;

private:
    void chooseSessionParams();
    // Fetches one fragment and appends it; false (after the warning) on failure or overflow.
    bool fetchResult(SpeechService::Session session, int* recognitionStatus, QByteArray* buffer);

    std::unique_ptr<SpeechService> m_service;
    QMutex m_serviceMutex; // one engine call sequence at a time (run loop and slots)
    QString m_resultText;
    int m_uploadResult = 0;
    const QByteArray m_loginParams;
    QByteArray m_sessionParams;
    QString m_audioFilePath;
    bool m_stopRequested = false;
    mutable QMutex m_mutex;
};
