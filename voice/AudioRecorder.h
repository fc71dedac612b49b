#pragma once

#include <QAudioBuffer>
#include <QAudioFormat>
#include <QString>
#include <QVector>
#include <QWidget>

namespace Ui {
class AudioRecorder;
}

// The small window shown near the text cursor while the side key is held: the language mark,
// the prompt "请说内容！" and the live input-level bar. It lives on the GUI thread; the captured
// buffers reach processBuffer() from the capture on the side-key thread.
class AudioRecorder : public QWidget {
    Q_OBJECT
public:
    explicit AudioRecorder(QWidget* parent = nullptr);
    ~AudioRecorder() override;

    void setLanguageMark(const QString& mark);
    // The words recognised so far, in place of the prompt, elided at the front to the label's
    // width so the latest words stay visible; an empty text brings the prompt back.
    void setWords(const QString& words);
    QString shownText() const;
    QString languageMark() const;
    // Current value of the level bar (0 to 100).
    int level() const;

    // Full-scale value of a sample format; 0 for formats the meter does not measure.
    static qreal peakValue(const QAudioFormat& format);
    // Per-channel levels of a buffer (0 to about 1); empty for non-PCM or big-endian buffers,
    // all zeros for sample formats the meter does not measure.
    static QVector<qreal> bufferLevels(const QAudioBuffer& buffer);

public slots:
    // Sets the level bar from one captured buffer.
    void processBuffer(const QAudioBuffer& buffer);

private:
    Ui::AudioRecorder* ui;
    QString m_prompt; // the form's prompt, shown while no words are known
};
