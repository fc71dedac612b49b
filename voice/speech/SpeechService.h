#pragma once

#include <QByteArray>
#include <memory>

// The seven calls through which the recognition thread talks to a speech-recognition engine.
// One engine object serves the whole run: login once, then any number of sessions, each of which
// takes the recording in chunks and hands the recognised text back in fragments.
//
// Status values exchanged with every engine:
//   audio status       1 first chunk, 2 continuing chunk, 4 closing write (no data, length 0)
//   endpoint status    3 once the engine has detected the end of speech (the caller stops sending)
//   recognition status 0 a result fragment can be fetched, 5 the result is complete
// Integer results and error codes are 0 on success.
class SpeechService {
public:
    enum AudioStatus { AudioFirst = 1, AudioContinue = 2, AudioLast = 4 };
    enum EndpointStatus { EndpointNone = 0, EndpointSpeechEnded = 3 };
    enum RecognitionStatus { ResultReady = 0, ResultPending = 2, ResultComplete = 5 };

    // A session handle; NoSession when none was begun.
    using Session = int;
    static constexpr Session NoSession = 0;

    virtual ~SpeechService() = default;

    // Connects or loads the engine; params is the login parameter string.
    virtual int login(const QByteArray& userName, const QByteArray& password, const QByteArray& params) = 0;
    virtual int logout() = 0;
    // Hands a named data set (the user words) to the engine; *errorCode 0 on success.
    virtual void uploadData(const QByteArray& dataName, const QByteArray& data, const QByteArray& params,
                            int* errorCode) = 0;
    // Opens a recognition session with the session parameter string.
    virtual Session sessionBegin(const QByteArray& grammarList, const QByteArray& params, int* errorCode) = 0;
    // Sends one chunk of the recording (data may be null with length 0 for the closing write).
    virtual int audioWrite(Session session, const char* data, int length, int audioStatus,
                           int* endpointStatus, int* recognitionStatus) = 0;
    // The next UTF-8 text fragment, or a null array when there is none.
    virtual QByteArray getResult(Session session, int* recognitionStatus, int waitMs, int* errorCode) = 0;
    // Ends the session (also when NoSession, then it does nothing); hints is an empty string.
    virtual int sessionEnd(Session session, const QByteArray& hints) = 0;

    // The words heard so far in an open session, for showing while the user still speaks; empty
    // for engines that only answer at the closing write. Not part of the result.
    virtual QByteArray partialResult(Session session);

    // Whether the engine can recognise a language index (0 Mandarin, 1 English, 2 Cantonese,
    // 3 Sichuanese, 4 Henanese). Needs no login; safe to ask from any thread.
    virtual bool canRecognise(int languageIndex) const = 0;

    // The engine named in services.ini: the HTTP engine when a server is configured, otherwise the
    // built-in offline engine.
    static std::unique_ptr<SpeechService> create();
};
