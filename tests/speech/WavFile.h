#pragma once

#include <QByteArray>
#include <QtEndian>

// Builds RIFF WAV files for tests: a header (optionally with an extra chunk before "data") and
// the given sample bytes.
namespace WavFile {
inline QByteArray le32(quint32 v) {
    QByteArray b(4, '\0');
    qToLittleEndian(v, reinterpret_cast<uchar*>(b.data()));
    return b;
}
inline QByteArray le16(quint16 v) {
    QByteArray b(2, '\0');
    qToLittleEndian(v, reinterpret_cast<uchar*>(b.data()));
    return b;
}
inline QByteArray make(const QByteArray& samples, int rate = 16000, int channels = 1, int bits = 16,
                       const QByteArray& extraChunk = QByteArray(), int formatTag = 1) {
    QByteArray fmt = le16(quint16(formatTag)) + le16(quint16(channels)) + le32(quint32(rate)) +
                     le32(quint32(rate * channels * bits / 8)) + le16(quint16(channels * bits / 8)) +
                     le16(quint16(bits));
    QByteArray body = "WAVE" + QByteArray("fmt ") + le32(quint32(fmt.size())) + fmt;
    if (!extraChunk.isEmpty()) {
        body += "LIST" + le32(quint32(extraChunk.size())) + extraChunk;
        if (extraChunk.size() & 1)
            body += '\0';
    }
    body += "data" + le32(quint32(samples.size())) + samples;
    return "RIFF" + le32(quint32(body.size())) + body;
}
inline QByteArray silence(int ms, int rate = 16000) {
    return QByteArray(rate / 1000 * ms * 2, '\0');
}
} // namespace WavFile
