#include "voice/AudioRecorder.h"
#include "ui_AudioRecorder.h"

#include <QtMath>

AudioRecorder::AudioRecorder(QWidget* parent) : QWidget(parent), ui(new Ui::AudioRecorder) {
    ui->setupUi(this);
    ui->levelBar->setTextVisible(false);
    // Shown only: it never takes the keyboard, and recognised text is never typed into it.
    setWindowFlags(Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus);
    setAttribute(Qt::WA_DeleteOnClose);
    setAttribute(Qt::WA_StyledBackground);
    raise();
}

AudioRecorder::~AudioRecorder() {
    delete ui;
}

void AudioRecorder::setLanguageMark(const QString& mark) {
    ui->languageMarkLabel->setText(mark);
}

void AudioRecorder::setWords(const QString& words) {
    if (m_prompt.isNull())
        m_prompt = ui->promptLabel->text();
    if (words.isEmpty()) {
        ui->promptLabel->setText(m_prompt);
        return;
    }
    const int width = ui->promptLabel->contentsRect().width() - 4;
    ui->promptLabel->setText(ui->promptLabel->fontMetrics().elidedText(words, Qt::ElideLeft, width));
}

QString AudioRecorder::shownText() const {
    return ui->promptLabel->text();
}

QString AudioRecorder::languageMark() const {
    return ui->languageMarkLabel->text();
}

int AudioRecorder::level() const {
    return ui->levelBar->value();
}

qreal AudioRecorder::peakValue(const QAudioFormat& format) {
    if (!format.isValid() || format.codec() != QLatin1String("audio/pcm"))
        return 0;
    switch (format.sampleType()) {
    case QAudioFormat::SignedInt:
        return format.sampleSize() == 16 ? 32767 : 0;
    case QAudioFormat::UnSignedInt:
        return format.sampleSize() == 16 ? 65535 : 0;
    case QAudioFormat::Float:
        return format.sampleSize() == 32 ? 1.00003 : 0;
    default:
        return 0;
    }
}

QVector<qreal> AudioRecorder::bufferLevels(const QAudioBuffer& buffer) {
    const QAudioFormat format = buffer.format();
    if (!format.isValid() || format.byteOrder() != QAudioFormat::LittleEndian)
        return {};
    if (format.codec() != QLatin1String("audio/pcm"))
        return {};

    const int channels = format.channelCount();
    QVector<qreal> levels(channels, 0.0);
    const qreal peak = peakValue(format);
    if (qFuzzyIsNull(peak) || channels <= 0)
        return levels;

    // Whole frames only: a buffer that ends inside a frame leaves the partial frame unread.
    const int frames = buffer.frameCount();
    if (format.sampleSize() != 16)
        return levels;
    if (format.sampleType() == QAudioFormat::SignedInt) {
        const qint16* data = buffer.constData<qint16>();
        for (int j = 0; j < channels; ++j) {
            int max = 0;
            for (int i = 0; i < frames; ++i)
                max = qMax(max, qAbs(int(data[i * channels + j])));
            levels[j] = max / peak;
        }
    } else if (format.sampleType() == QAudioFormat::UnSignedInt) {
        const quint16* data = buffer.constData<quint16>();
        const qreal half = peak * 0.5;
        for (int j = 0; j < channels; ++j) {
            quint16 max = 0;
            for (int i = 0; i < frames; ++i)
                max = qMax(max, data[i * channels + j]);
            levels[j] = qAbs(max - half) / half;
        }
    }
    return levels;
}

void AudioRecorder::processBuffer(const QAudioBuffer& buffer) {
    const QVector<qreal> levels = bufferLevels(buffer);
    for (const qreal level : levels)
        ui->levelBar->setValue(int(level * 100));
}
