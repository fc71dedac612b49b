#include "voice/WavWriter.h"

#include <QtDebug>
#include <QtEndian>

// RIFF sizes are 32-bit: the data chunk may hold this much at most.
static constexpr qint64 kMaxDataBytes = 0xFFFFFFFFLL - WavWriter::HeaderSize;

WavWriter::WavWriter(const QString& path) : m_file(path) {}

WavWriter::~WavWriter() {
    close();
}

static void appendLe16(QByteArray& out, quint16 v) {
    char b[2];
    qToLittleEndian(v, b);
    out.append(b, 2);
}

static void appendLe32(QByteArray& out, quint32 v) {
    char b[4];
    qToLittleEndian(v, b);
    out.append(b, 4);
}

QByteArray WavWriter::header(const QAudioFormat& format, quint32 dataBytes) {
    const quint16 channels = quint16(format.channelCount());
    const quint16 bits = quint16(format.sampleSize());
    const quint16 blockAlign = quint16(channels * bits / 8);
    const quint32 rate = quint32(format.sampleRate());
    // Format tag 3 is IEEE float, 1 integer PCM.
    const quint16 tag = format.sampleType() == QAudioFormat::Float ? 3 : 1;

    QByteArray out;
    out.reserve(HeaderSize);
    out.append("RIFF", 4);
    appendLe32(out, quint32(36 + qint64(dataBytes)));
    out.append("WAVE", 4);
    out.append("fmt ", 4);
    appendLe32(out, 16);
    appendLe16(out, tag);
    appendLe16(out, channels);
    appendLe32(out, rate);
    appendLe32(out, rate * blockAlign);
    appendLe16(out, blockAlign);
    appendLe16(out, bits);
    out.append("data", 4);
    appendLe32(out, dataBytes);
    return out;
}

bool WavWriter::open(const QAudioFormat& format) {
    close();
    if (!format.isValid() || format.codec() != QLatin1String("audio/pcm") ||
        format.byteOrder() != QAudioFormat::LittleEndian) {
        qWarning("Audio recorder , WAV file needs little-endian PCM, not opened !");
        return false;
    }
    if (!m_file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        qWarning().noquote() << "Audio recorder , open WAV file failed !" << m_file.fileName()
                             << m_file.errorString();
        return false;
    }
    m_format = format;
    m_dataSize = 0;
    if (m_file.write(header(format, 0)) != HeaderSize) {
        qWarning().noquote() << "Audio recorder , write WAV header failed !" << m_file.errorString();
        m_file.close();
        m_file.remove();
        return false;
    }
    m_file.flush();
    return true;
}

bool WavWriter::write(const QByteArray& bytes) {
    if (!m_file.isOpen() || bytes.isEmpty())
        return m_file.isOpen();
    qint64 length = qMin<qint64>(bytes.size(), kMaxDataBytes - m_dataSize);
    if (length <= 0)
        return false;
    const qint64 written = m_file.write(bytes.constData(), length);
    if (written > 0)
        m_dataSize += written;
    if (written != length) {
        qWarning().noquote() << "Audio recorder , write WAV data failed !" << m_file.errorString();
        return false;
    }
    return true;
}

bool WavWriter::close() {
    if (!m_file.isOpen())
        return false;
    const int frameBytes = m_format.bytesPerFrame();
    if (frameBytes > 0)
        m_dataSize -= m_dataSize % frameBytes;
    bool ok = m_file.resize(HeaderSize + m_dataSize);
    ok = m_file.seek(0) && ok;
    ok = m_file.write(header(m_format, quint32(m_dataSize))) == HeaderSize && ok;
    m_file.close();
    if (!ok)
        qWarning().noquote() << "Audio recorder , finish WAV file failed !" << m_file.fileName();
    return ok;
}
