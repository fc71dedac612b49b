#include "voice/AudioCapture.h"

#include <QAudioInput>
#include <QIODevice>
#include <QtDebug>

AudioCapture::AudioCapture(QObject* parent) : QObject(parent) {
    m_watchdog.setInterval(250);
    connect(&m_watchdog, &QTimer::timeout, this, &AudioCapture::checkInput);
}

AudioCapture::~AudioCapture() {
    // Only the base part is left here; a subclass stops its own recording in its destructor.
    AudioCapture::stopRecording();
}

QAudioFormat AudioCapture::recordingFormat() {
    QAudioFormat format;
    format.setCodec(QStringLiteral("audio/pcm"));
    format.setSampleRate(16000);
    format.setChannelCount(1);
    format.setSampleSize(16);
    format.setSampleType(QAudioFormat::SignedInt);
    format.setByteOrder(QAudioFormat::LittleEndian);
    return format;
}

static QString spelledWithUnderscores(QString name) {
    return name.replace(QLatin1Char(' '), QLatin1Char('_'));
}

int AudioCapture::preferredInput(const QStringList& names) {
    static const QStringList preferred = {QStringLiteral("USB PnP Audio Device"),
                                          QStringLiteral("KoMouse_V1.0")};
    int chosen = -1;
    for (int i = 0; i < names.size(); ++i) {
        const QString name = spelledWithUnderscores(names.at(i));
        for (const QString& wanted : preferred)
            if (name.contains(spelledWithUnderscores(wanted)))
                chosen = i;
    }
    return chosen;
}

QAudioDeviceInfo AudioCapture::chooseInput() {
    const QList<QAudioDeviceInfo> devices = QAudioDeviceInfo::availableDevices(QAudio::AudioInput);
    QStringList names;
    for (const QAudioDeviceInfo& device : devices)
        names << device.deviceName();
    const int index = preferredInput(names);
    if (index >= 0) {
        qDebug().noquote() << "Audio recorder , input" << names.at(index);
        return devices.at(index);
    }
    return QAudioDeviceInfo::defaultInputDevice();
}

bool AudioCapture::startRecording(const QString& path) {
    stopRecording();
    const QAudioDeviceInfo device = chooseInput();
    if (device.isNull()) {
        qWarning("Audio recorder , no audio input device, nothing recorded !");
        return false;
    }
    const QAudioFormat format = recordingFormat();
    if (!device.isFormatSupported(format))
        qDebug().noquote() << "Audio recorder ," << device.deviceName()
                           << "does not list 16 kHz mono 16-bit, trying anyway";

    m_input = new QAudioInput(device, format, this);
    // 50 ms per chunk: the level bar moves smoothly and the first buffer comes soon after the press.
    m_input->setBufferSize(1600);
    m_device = m_input->start();
    if (!m_device) {
        qWarning("Audio recorder , open audio input failed, nothing recorded !");
        delete m_input;
        m_input = nullptr;
        return false;
    }
    m_writer = std::make_unique<WavWriter>(path);
    if (!m_writer->open(m_input->format())) {
        m_writer.reset();
        m_input->stop(); // deletes m_device
        m_device = nullptr;
        delete m_input;
        m_input = nullptr;
        return false;
    }
    connect(m_device, &QIODevice::readyRead, this, &AudioCapture::readAvailable);
    // Watched only once running: a failed start has been reported above already.
    connect(m_input, &QAudioInput::stateChanged, this, &AudioCapture::onStateChanged);
    m_gotData = false;
    m_sinceData.start();
    m_watchdog.start();
    return true;
}

void AudioCapture::consume(const QByteArray& bytes) {
    if (bytes.isEmpty())
        return;
    if (m_writer)
        m_writer->write(bytes);
    const QAudioFormat format = recordingFormat();
    const int frameBytes = format.bytesPerFrame();
    QByteArray whole = m_partial + bytes;
    const int rest = whole.size() % frameBytes;
    m_partial = whole.right(rest);
    whole.chop(rest);
    if (!whole.isEmpty())
        emit bufferCaptured(QAudioBuffer(whole, format));
}

void AudioCapture::readAvailable() {
    if (!m_device)
        return;
    const QByteArray bytes = m_device->readAll();
    if (!bytes.isEmpty()) {
        m_sinceData.start();
        m_gotData = true;
    }
    consume(bytes);
}

void AudioCapture::checkInput() {
    if (!m_input)
        return;
    // A source that just woke from suspend may take a while for its first data.
    if (m_sinceData.elapsed() < (m_gotData ? StallTimeoutMs : FirstDataTimeoutMs))
        return;
    qWarning("Audio recorder , the audio input delivers nothing any more, recording ended early !");
    finish();
}

void AudioCapture::onStateChanged(QAudio::State state) {
    if (state != QAudio::StoppedState || !m_input || m_input->error() == QAudio::NoError)
        return;
    // The device went away or failed mid-way: keep what was captured in a finished file.
    qWarning().noquote() << "Audio recorder , audio input stopped with error" << m_input->error()
                         << ", recording ended early !";
    finish();
}

void AudioCapture::stopRecording() {
    if (m_input || m_writer)
        finish();
}

void AudioCapture::finish() {
    m_watchdog.stop();
    if (m_device)
        consume(m_device->readAll());
    if (m_input) {
        m_input->disconnect(this);
        // stop() deletes the device that start() returned.
        m_input->stop();
        m_device = nullptr;
        m_input->deleteLater();
        m_input = nullptr;
    }
    if (m_writer) {
        m_writer->close();
        m_writer.reset();
    }
    m_partial.clear();
}
