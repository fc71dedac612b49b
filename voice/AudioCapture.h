#pragma once

#include "voice/WavWriter.h"

#include <QAudio>
#include <QAudioBuffer>
#include <QAudioDeviceInfo>
#include <QAudioFormat>
#include <QByteArray>
#include <QElapsedTimer>
#include <QObject>
#include <QStringList>
#include <QTimer>

#include <memory>

class QAudioInput;
class QIODevice;

// Records the microphone into a WAV file: 16 kHz, mono, 16-bit little-endian PCM. It lives on
// the side-key thread, whose event loop delivers the captured data. Every captured chunk goes to
// the file and, cut to whole samples, to bufferCaptured() for the level bar.
class AudioCapture : public QObject {
    Q_OBJECT
public:
    explicit AudioCapture(QObject* parent = nullptr);
    // An input that delivers nothing for this long while recording has failed (the audio layer
    // does not always say so: a lost sound server leaves it "active" without data).
    static constexpr int StallTimeoutMs = 2000;
    static constexpr int FirstDataTimeoutMs = 5000;

    // Stops a running recording, which finishes the file.
    ~AudioCapture() override;

    // The recording format.
    static QAudioFormat recordingFormat();
    // Index of the preferred input among the device names: the last name that contains
    // "USB PnP Audio Device" or "KoMouse_V1.0" (also with "_" for " ", as the sound server
    // spells them); -1 when none does, which means the default input.
    static int preferredInput(const QStringList& names);
    // The input device to record from.
    static QAudioDeviceInfo chooseInput();

    // Opens the input and the file and starts recording. With no usable input or an unwritable
    // path the recording fails quietly (a warning in the log, no file) and false is returned.
    virtual bool startRecording(const QString& path);
    // Stops recording and finishes the file; nothing when not recording.
    virtual void stopRecording();

    bool isRecording() const { return m_writer && m_writer->isOpen(); }
    qint64 bytesRecorded() const { return m_writer ? m_writer->dataSize() : 0; }

    // Writes the bytes to the file and passes the whole samples on to bufferCaptured(); a
    // trailing partial sample is kept for the next chunk. Public for the capture path's tests.
    void consume(const QByteArray& bytes);

signals:
    // Captured samples (whole frames) for the level meter.
    void bufferCaptured(const QAudioBuffer& buffer);

private:
    void readAvailable();
    void onStateChanged(QAudio::State state);
    void checkInput();
    void finish();

    QAudioInput* m_input = nullptr;
    QIODevice* m_device = nullptr;
    std::unique_ptr<WavWriter> m_writer;
    QByteArray m_partial;
    // Notices an input that stopped delivering without saying so (a lost sound server).
    QTimer m_watchdog;
    QElapsedTimer m_sinceData;
    bool m_gotData = false;
};
