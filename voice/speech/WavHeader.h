#pragma once

#include <QByteArray>
#include <QString>

// The header of a RIFF WAV recording as far as the recogniser needs it: the sample format and
// where the samples begin. The chunks are walked, so extra chunks before "data" are skipped.
class WavHeader {
public:
    enum class State {
        NeedMore, // the bytes end before the "data" chunk starts
        Invalid,  // not a WAV file, or no usable format chunk (see error)
        Ready     // format known and dataOffset points at the first sample
    };

    State state = State::NeedMore;
    QString error;
    int formatTag = 0;
    int channels = 0;
    int sampleRate = 0;
    int bitsPerSample = 0;
    qint64 dataOffset = 0;
    // Bytes of samples the header declares; -1 when it declares none (a recording whose header
    // was never finalised): the samples then run to the end of the file.
    qint64 dataSize = -1;

    // Parses the beginning of a file (it may be incomplete).
    static WavHeader parse(const QByteArray& bytes);

    // 16 kHz, one channel, 16-bit integer PCM.
    bool isSpeechFormat() const;
    QString describe() const;

    // Largest header accepted before the first sample (guards against endless chunk walks).
    static constexpr qint64 MaxHeaderBytes = 1 << 20;
};
