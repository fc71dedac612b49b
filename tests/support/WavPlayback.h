#pragma once

#include "voice/AudioCapture.h"

#include <QTimer>

// A capture that plays given samples instead of the microphone: 50 ms (1600 bytes) every 50 ms on
// a timer, as the real input delivers them, to the same signal. Once all are out it stays
// "recording" without data until stopped, like a user who holds the key in silence.
class WavPlayback : public AudioCapture {
public:
    explicit WavPlayback(const QByteArray& samples) : m_samples(samples) {
        m_timer.setInterval(50);
        QObject::connect(&m_timer, &QTimer::timeout, [this] {
            consume(m_samples.mid(m_at, 1600));
            m_at += 1600;
            if (m_at >= m_samples.size())
                m_timer.stop();
        });
    }
    bool startRecording(const QString&) override {
        m_timer.start();
        return true;
    }
    void stopRecording() override { m_timer.stop(); }
    bool done() const { return m_at >= m_samples.size(); }

private:
    QByteArray m_samples;
    QTimer m_timer;
    int m_at = 0;
};
