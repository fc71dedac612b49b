#include "voice/speech/WavHeader.h"

#include <QIODevice>
#include <QtEndian>

namespace {
quint32 le32(const QByteArray& b, qint64 at) {
    return qFromLittleEndian<quint32>(reinterpret_cast<const uchar*>(b.constData() + at));
}
quint16 le16(const QByteArray& b, qint64 at) {
    return qFromLittleEndian<quint16>(reinterpret_cast<const uchar*>(b.constData() + at));
}
} // namespace

WavHeader WavHeader::parse(const QByteArray& bytes) {
    WavHeader header;
    const qint64 size = bytes.size();
    if (size < 12) {
        if (!QByteArray("RIFF").startsWith(bytes.left(4))) {
            header.state = State::Invalid;
            header.error = QStringLiteral("not a RIFF file");
        }
        return header;
    }
    if (!bytes.startsWith("RIFF") || bytes.mid(8, 4) != "WAVE") {
        header.state = State::Invalid;
        header.error = QStringLiteral("not a RIFF WAVE file");
        return header;
    }
    bool haveFormat = false;
    qint64 pos = 12;
    while (pos + 8 <= size) {
        const QByteArray id = bytes.mid(int(pos), 4);
        const qint64 chunkSize = le32(bytes, pos + 4);
        const qint64 body = pos + 8;
        if (id == "data") {
            if (!haveFormat) {
                header.state = State::Invalid;
                header.error = QStringLiteral("the data chunk comes before the format chunk");
                return header;
            }
            header.dataOffset = body;
            header.dataSize = (chunkSize == 0 || chunkSize == 0xFFFFFFFF) ? -1 : chunkSize;
            header.state = State::Ready;
            return header;
        }
        if (id == "fmt ") {
            if (chunkSize < 16) {
                header.state = State::Invalid;
                header.error = QStringLiteral("format chunk too short");
                return header;
            }
            if (body + 16 > size)
                return header; // wait for the rest of the chunk
            header.formatTag = le16(bytes, body);
            header.channels = le16(bytes, body + 2);
            header.sampleRate = int(le32(bytes, body + 4));
            header.bitsPerSample = le16(bytes, body + 14);
            // WAVE_FORMAT_EXTENSIBLE names the real format in its sub-format GUID.
            if (header.formatTag == 0xFFFE && chunkSize >= 40) {
                if (body + 26 > size)
                    return header;
                header.formatTag = le16(bytes, body + 24);
            }
            haveFormat = true;
        }
        pos = body + chunkSize + (chunkSize & 1);
        if (pos > MaxHeaderBytes) {
            header.state = State::Invalid;
            header.error = QStringLiteral("no data chunk");
            return header;
        }
    }
    return header;
}

bool WavHeader::isSpeechFormat() const {
    return state == State::Ready && formatTag == 1 && channels == 1 && sampleRate == 16000 &&
           bitsPerSample == 16;
}

QString WavHeader::describe() const {
    return QStringLiteral("format %1, %2 Hz, %3 channel(s), %4-bit")
        .arg(formatTag)
        .arg(sampleRate)
        .arg(channels)
        .arg(bitsPerSample);
}

QByteArray WavHeader::readSpeechSamples(QIODevice& file, qint64 maxBytes, QString* error) {
    QByteArray head;
    WavHeader header;
    while (header.state == State::NeedMore) {
        const QByteArray more = file.read(qMin<qint64>(4096, MaxHeaderBytes - head.size()));
        if (more.isEmpty()) {
            *error = QStringLiteral("the file ends inside its WAV header");
            return QByteArray();
        }
        head += more;
        header = parse(head);
    }
    if (header.state == State::Invalid) {
        *error = header.error;
        return QByteArray();
    }
    if (!header.isSpeechFormat()) {
        *error = header.describe() + QStringLiteral("; only 16000 Hz mono 16-bit PCM is recognised");
        return QByteArray();
    }
    qint64 wanted = header.dataSize < 0 ? maxBytes : qMin(header.dataSize, maxBytes);
    QByteArray samples =
        head.mid(int(header.dataOffset), int(qMin<qint64>(wanted, head.size() - header.dataOffset)));
    wanted -= samples.size();
    if (wanted > 0)
        samples += file.read(wanted);
    samples.chop(samples.size() & 1);
    if (samples.isNull())
        samples = QByteArray("");
    return samples;
}
