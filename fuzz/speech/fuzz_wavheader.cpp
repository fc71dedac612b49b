// Feeds arbitrary bytes to the WAV header reader, whole and in growing prefixes as the recogniser
// receives them, and checks that the prefixes never disagree with the whole. The prefixes are
// views of the input (no copies) at a bounded number of cuts: the first bytes one by one, a spread
// over the rest, and both sides of the data offset, so a long input costs no more than a short one.
#include "voice/speech/WavHeader.h"

#include <algorithm>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char*>(data), int(size));
    const WavHeader whole = WavHeader::parse(bytes);
    if (whole.state == WavHeader::State::Ready) {
        if (whole.dataOffset < 12 || whole.dataOffset > bytes.size())
            abort();
        whole.isSpeechFormat();
        whole.describe();
    }
    const int n = bytes.size();
    auto check = [&](int cut) {
        if (cut < 0 || cut >= n)
            return;
        const WavHeader part = WavHeader::parse(QByteArray::fromRawData(bytes.constData(), cut));
        if (part.state == WavHeader::State::Ready &&
            (whole.state != WavHeader::State::Ready || part.dataOffset != whole.dataOffset))
            abort();
        if (part.state == WavHeader::State::Invalid && whole.state != WavHeader::State::Invalid)
            abort();
    };
    for (int cut = 0; cut < std::min(n, 64); ++cut)
        check(cut);
    const int step = std::max(1, n / 64);
    for (int cut = 64; cut < n; cut += step)
        check(cut);
    if (whole.state == WavHeader::State::Ready) {
        check(int(whole.dataOffset) - 1);
        check(int(whole.dataOffset));
    }
    return 0;
}
