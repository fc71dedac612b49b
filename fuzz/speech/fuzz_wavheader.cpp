// Feeds arbitrary bytes to the WAV header reader, whole and in growing prefixes as the recogniser
// receives them, and checks that the prefixes never disagree with the whole.
#include "voice/speech/WavHeader.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), int(size));
    const WavHeader whole = WavHeader::parse(bytes);
    if (whole.state == WavHeader::State::Ready) {
        if (whole.dataOffset < 12 || whole.dataOffset > bytes.size())
            abort();
        whole.isSpeechFormat();
        whole.describe();
    }
    for (int cut = 0; cut < bytes.size(); cut += 7) {
        const WavHeader part = WavHeader::parse(bytes.left(cut));
        if (part.state == WavHeader::State::Ready &&
            (whole.state != WavHeader::State::Ready || part.dataOffset != whole.dataOffset))
            abort();
        if (part.state == WavHeader::State::Invalid && whole.state != WavHeader::State::Invalid)
            abort();
    }
    return 0;
}
