#pragma once

#include "voice/speech/SpeechService.h"
#include "voice/speech/WavHeader.h"

#include <QByteArray>
#include <QString>

struct ps_decoder_s;

// The built-in engine: an English recogniser that runs on this machine. The model is loaded once
// at login and one decoder serves every session, so the input normalisation it learns carries
// over from one recording to the next. Each session takes the WAV file in chunks: the header is
// read to find the samples, takes that are not 16 kHz mono 16-bit are refused, and a take stays
// away from the decoder until a chunk is loud enough (a silent take returns empty text and does not
// disturb the normalisation). Text spoken before a pause is handed back as soon as the pause is
// heard; the rest follows the closing write. Sessions for other languages fail at session begin.
class OfflineSpeechService : public SpeechService {
public:
    struct Settings {
        QString acousticModel = modelFile(QStringLiteral("en-us"));
        QString languageModel = modelFile(QStringLiteral("en-us.lm.bin"));
        QString dictionary = modelFile(QStringLiteral("cmudict-en-us.dict"));
        // Root-mean-square sample value a 200 ms chunk must reach to count as speech.
        int minLevel = 150;
        static Settings fromServicesConfig();
        // A file of the English model where this build looks for it (the system's model, or the
        // one shipped beside the executable).
        static QString modelFile(const QString& name);
    };

    // Error codes of this engine.
    enum Error { NotLoggedIn = 11001, NoLanguageModel = 11002, BadAudio = 11003, DecoderFailed = 11004 };

    explicit OfflineSpeechService(const Settings& settings);
    ~OfflineSpeechService() override;

    int login(const QByteArray& userName, const QByteArray& password, const QByteArray& params) override;
    int logout() override;
    void uploadData(const QByteArray& dataName, const QByteArray& data, const QByteArray& params,
                    int* errorCode) override;
    Session sessionBegin(const QByteArray& grammarList, const QByteArray& params, int* errorCode) override;
    int audioWrite(Session session, const char* data, int length, int audioStatus, int* endpointStatus,
                   int* recognitionStatus) override;
    QByteArray getResult(Session session, int* recognitionStatus, int waitMs, int* errorCode) override;
    int sessionEnd(Session session, const QByteArray& hints) override;
    QByteArray partialResult(Session session) override;
    // English only.
    bool canRecognise(int languageIndex) const override { return languageIndex == 1; }

    // Root-mean-square value of 16-bit little-endian samples.
    static double level(const char* samples, qint64 bytes);

private:
    bool feed(const char* samples, qint64 bytes);
    void commitSegment();
    void resetSession();

    Settings m_settings;
    ps_decoder_s* m_decoder = nullptr;
    bool m_languageWarned = false;

    // The open session.
    Session m_session = NoSession;
    Session m_nextSession = 1;
    QByteArray m_head; // bytes before the header is complete
    WavHeader m_header;
    qint64 m_samplesLeft = -1; // bytes of samples still expected (-1: to the end)
    QByteArray m_quiet;        // samples held back until the take gets loud
    bool m_loud = false;       // the decoder has the take
    bool m_inSpeech = false;
    char m_oddByte = 0;
    bool m_haveOddByte = false;
    QByteArray m_pending;   // text not yet handed back
    QByteArray m_committed; // text of the session's finished segments
    bool m_anyText = false;
    bool m_final = false;
};
