#pragma once

#include <QByteArray>
#include <QtEndian>

// Builds RIFF WAV files for tests: a header (optionally with an extra chunk before "data") and
// the given sample bytes.
namespace WavFile {
template <typename T> QByteArray le(T v) {
    QByteArray b(sizeof(T), '\0');
    qToLittleEndian(v, reinterpret_cast<uchar*>(b.data()));
    return b;
}
inline QByteArray make(const QByteArray& samples, int rate = 16000, int channels = 1, int bits = 16,
                       const QByteArray& extraChunk = QByteArray(), int formatTag = 1) {
    QByteArray fmt = le(quint16(formatTag)) + le(quint16(channels)) + le(quint32(rate)) +
                     le(quint32(rate * channels * bits / 8)) + le(quint16(channels * bits / 8)) +
                     le(quint16(bits));
    QByteArray body = "WAVE" + QByteArray("fmt ") + le(quint32(fmt.size())) + fmt;
    if (!extraChunk.isEmpty()) {
        body += "LIST" + le(quint32(extraChunk.size())) + extraChunk;
        if (extraChunk.size() & 1)
            body += '\0';
    }
    body += "data" + le(quint32(samples.size())) + samples;
    return "RIFF" + le(quint32(body.size())) + body;
}
inline QByteArray silence(int ms, int rate = 16000) {
    return QByteArray(rate / 1000 * ms * 2, '\0');
}
} // namespace WavFile
