#pragma once

#include "voice/speech/SpeechService.h"

#include <QByteArray>
#include <QString>
#include <QUrl>

// An engine on a transcription server: the whole recording goes in one multipart request
// (POST {base}/v1/audio/transcriptions with the fields file, model, language and prompt) at the
// closing write, and the server answers {"text": "..."}. The request runs on the calling thread
// in a local event loop and is bounded by one deadline for the whole exchange, however slowly the
// server trickles its answer. Transport errors, HTTP errors, replies over 1 MiB and replies that
// are not such JSON fail the closing write.
class HttpSpeechService : public SpeechService {
public:
    struct Settings {
        QUrl base;
        QByteArray key;
        QString model = QStringLiteral("default");
        int timeoutMs = 20000;
        static Settings fromServicesConfig();
    };

    enum Error { NoServer = 12001, RequestFailed = 12002, BadReply = 12003, NoSession = 12004 };

    explicit HttpSpeechService(const Settings& settings);

    int login(const QByteArray& userName, const QByteArray& password, const QByteArray& params) override;
    int logout() override;
    void uploadData(const QByteArray& dataName, const QByteArray& data, const QByteArray& params,
                    int* errorCode) override;
    Session sessionBegin(const QByteArray& grammarList, const QByteArray& params, int* errorCode) override;
    int audioWrite(Session session, const char* data, int length, int audioStatus, int* endpointStatus,
                   int* recognitionStatus) override;
    QByteArray getResult(Session session, int* recognitionStatus, int waitMs, int* errorCode) override;
    int sessionEnd(Session session, const QByteArray& hints) override;
    // The server is asked for every language.
    bool canRecognise(int languageIndex) const override { return languageIndex >= 0 && languageIndex <= 4; }

    // Largest reply body read; a longer one is refused unread.
    static constexpr qint64 MaxReplyBytes = 1 << 20;
    // A recording streamed with zero sizes in its header gets its real sizes before it is sent.
    static QByteArray withFinalSizes(const QByteArray& wav);

    // The text of a reply body, or false when it is not a JSON object with a string "text".
    static bool parseReply(const QByteArray& body, QString* text);
    // The user words as one prompt line: the file's lines (UTF-8, else GBK) joined by ", ".
    static QString promptFromWords(const QByteArray& words);
    QUrl endpoint() const;

private:
    int transcribe();

    Settings m_settings;
    QString m_prompt;
    Session m_session = SpeechService::NoSession;
    Session m_nextSession = 1;
    QString m_language;
    QByteArray m_audio;
    QByteArray m_text;
    bool m_final = false;
    bool m_delivered = false;
};
