#pragma once

#include <QByteArray>
#include <QString>

class QIODevice;

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

    // Reads the samples of a 16 kHz mono 16-bit recording: the header first (read in steps, never
    // past MaxHeaderBytes), then only the data chunk, at most maxBytes of it; the rest of a longer
    // file is never read. A null array, with the reason in *error, when the file is not such a
    // recording.
    static QByteArray readSpeechSamples(QIODevice& file, qint64 maxBytes, QString* error);

    // Largest header accepted before the first sample (guards against endless chunk walks).
    static constexpr qint64 MaxHeaderBytes = 1 << 20;
};
