#pragma once

#include <QAudioFormat>
#include <QByteArray>
#include <QFile>
#include <QString>

// Writes PCM samples into a RIFF WAV file as they arrive. The header is written with zero sizes
// at open and completed at close, so a file that was closed is always a valid WAV file, however
// the capture ended.
class WavWriter {
public:
    explicit WavWriter(const QString& path);
    ~WavWriter();

    // Creates (truncates) the file and writes the provisional header. False, with a warning in the
    // log, when the file cannot be created or the format is not PCM.
    bool open(const QAudioFormat& format);
    // Appends raw sample bytes; they need not end on a whole sample.
    bool write(const QByteArray& bytes);
    // Drops a trailing partial frame, fills in the RIFF and data sizes and closes the file.
    bool close();

    bool isOpen() const { return m_file.isOpen(); }
    // Sample bytes written so far.
    qint64 dataSize() const { return m_dataSize; }
    QString path() const { return m_file.fileName(); }

    // The 44-byte canonical header for the format and the given number of sample bytes.
    static QByteArray header(const QAudioFormat& format, quint32 dataBytes);
    static constexpr int HeaderSize = 44;

private:
    QFile m_file;
    QAudioFormat m_format;
    qint64 m_dataSize = 0;
};
