#pragma once

#include "voice/speech/HttpSpeechService.h"

#include <QElapsedTimer>
#include <QNetworkAccessManager>
#include <QObject>
#include <QPointer>

class QNetworkReply;

// Tries a transcription server the way the server engine uses it: one second of silence, then
// (when given) a real recording, each as one request; the requests run asynchronously on the
// calling thread's event loop, so a window stays responsive meanwhile. Reports the outcome of
// each request and ends with finished().
class SpeechConnectionTest : public QObject {
    Q_OBJECT
public:
    enum class Outcome { Answered, BadAddress, Unreachable, HttpError, TimedOut, BadReply };
    struct Result {
        Outcome outcome = Outcome::BadAddress;
        qint64 elapsedMs = 0;
        int httpStatus = 0;
        QString text;   // the recognised text when answered
        QString detail; // the transport's own words when unreachable
        // One line for the user, e.g. "已应答，用时 35 毫秒：…".
        QString message() const;
    };

    explicit SpeechConnectionTest(QObject* parent = nullptr);
    ~SpeechConnectionTest() override;

    // Starts a test (a running one is abandoned). recording is a WAV file's bytes, or empty.
    void start(const HttpSpeechService::Settings& settings, const QByteArray& recording = QByteArray());
    bool isRunning() const { return !m_reply.isNull(); }

    // A 16 kHz mono 16-bit WAV file of silence.
    static QByteArray silence(int milliseconds);

signals:
    // After each request; what is "one second of silence" or "the latest recording".
    void answered(const QString& what, const SpeechConnectionTest::Result& result);
    // After the last request, or the first that failed.
    void finished(bool ok);

private:
    void send(const QByteArray& wav);
    void onFinished();

    QNetworkAccessManager m_manager;
    HttpSpeechService::Settings m_settings;
    QPointer<QNetworkReply> m_reply;
    QElapsedTimer m_clock;
    QByteArray m_recording;
    bool m_sendingRecording = false;
};

Q_DECLARE_METATYPE(SpeechConnectionTest::Result)
