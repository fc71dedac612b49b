#pragma once

#include "voice/AudioCapture.h"

#include <QDataStream>
#include <QFile>
#include <QStringList>

// A capture that records nothing: it writes a stand-in "record.wav" at start and logs its life
// ("new1", "start1", "stop1", "delete1"), so the tests can follow each press's recorder.
class FakeCapture : public AudioCapture {
public:
    FakeCapture(QStringList* log, int id) : m_log(log), m_id(QString::number(id)) { *m_log << "new" + m_id; }
    ~FakeCapture() override { *m_log << "delete" + m_id; }
    bool startRecording(const QString& path) override {
        *m_log << "start" + m_id;
        QFile file(path);
        if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            file.write("RIFF" + m_id.toLatin1());
        return m_running = true;
    }
    void stopRecording() override {
        if (m_running)
            *m_log << "stop" + m_id;
        m_running = false;
    }
    void feed(const QByteArray& bytes) { consume(bytes); } // samples, as the real capture sends them

private:
    QStringList* m_log;
    QString m_id;
    bool m_running = false;
};

// The 44-byte header of a 16 kHz mono 16-bit PCM WAV file, spelled out field by field.
inline QByteArray wavHeader(quint32 dataBytes) {
    QByteArray header;
    QDataStream out(&header, QIODevice::WriteOnly);
    out.setByteOrder(QDataStream::LittleEndian);
    out.writeRawData("RIFF", 4);
    out << quint32(36 + dataBytes);
    out.writeRawData("WAVEfmt ", 8);
    out << quint32(16) << quint16(1) << quint16(1) << quint32(16000) << quint32(32000) << quint16(2)
        << quint16(16);
    out.writeRawData("data", 4);
    out << dataBytes;
    return header;
}
