#pragma once

#include "voice/AudioCapture.h"

#include <QFile>
#include <QStringList>
#include <QThread>

// A capture that records nothing: it writes a stand-in "record.wav" at start and logs what
// happens to it, so the tests can follow each press's recorder.
struct CaptureLog {
    QStringList events;
    int alive = 0;
    QThread* thread = nullptr;
};

class FakeCapture : public AudioCapture {
public:
    FakeCapture(CaptureLog* log, int id) : m_log(log), m_id(id) {
        ++m_log->alive;
        m_log->events << QStringLiteral("new%1").arg(m_id);
    }
    ~FakeCapture() override {
        --m_log->alive;
        m_log->events << QStringLiteral("delete%1").arg(m_id);
    }
    bool startRecording(const QString& path) override {
        m_log->thread = QThread::currentThread();
        m_log->events << QStringLiteral("start%1").arg(m_id);
        QFile file(path);
        if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            file.write(QByteArray("RIFF") + QByteArray::number(m_id));
        m_running = true;
        return true;
    }
    void stopRecording() override {
        if (m_running)
            m_log->events << QStringLiteral("stop%1").arg(m_id);
        m_running = false;
    }
    // Sends samples as the real capture does.
    void feed(const QByteArray& bytes) { consume(bytes); }

private:
    CaptureLog* m_log;
    int m_id;
    bool m_running = false;
};
