// Feeds arbitrary bytes to the transcription server's reply reader and to the user-word prompt
// builder.
#include "voice/speech/HttpSpeechService.h"
#include "voice/speech/SpeechParameters.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), int(size));
    QString text;
    HttpSpeechService::parseReply(bytes, &text);
    HttpSpeechService::promptFromWords(bytes);
    SpeechParameters::languageCode(bytes);
    return 0;
}
