#pragma once

#include "app/NoticeBox.h"
#include "voice/AudioRecorder.h"

#include <QAudioBuffer>
#include <QObject>
#include <QPoint>
#include <QPointer>
#include <QSize>
#include <QUrl>

class SideKeyMonitor;

// The GUI-thread side of the side key: the recorder window of the press in progress, the
// command notice "请说口令！" and the short-press notice "请稍等片刻！", and the opening of the
// product page. Widgets may only live on the GUI thread, while the mouse events and the capture
// run on the side-key thread; the monitor's signals reach these slots queued.
class SideKeyFeedback : public QObject {
    Q_OBJECT
public:
    explicit SideKeyFeedback(QObject* parent = nullptr);
    ~SideKeyFeedback() override;

    // Connects the monitor's signals to this object (queued when the monitor lives elsewhere).
    void attach(SideKeyMonitor* monitor);

    // Top-left corner of the recorder window: the caret point when there is one inside the
    // desktop (1 ≤ x ≤ W, 1 ≤ y ≤ H), otherwise (W − 370, H − 70).
    static QPoint recorderPosition(bool hasCaret, const QPoint& caret, const QSize& desktop);

    AudioRecorder* recorder() const { return m_recorder; }
    NoticeBox* commandNotice() const { return m_commandNotice; }
    NoticeBox* shortPressNotice() const { return m_shortPressNotice; }

public slots:
    void showRecorder(bool hasCaret, const QPoint& caret, const QString& mark);
    void closeRecorder();
    void processBuffer(const QAudioBuffer& buffer);
    // Words of the take in progress (connected to the recognition thread).
    void showWords(int takeId, const QString& words);
    void showCommandNotice(const QString& text);
    void hideCommandNotice();
    void showShortPressNotice(const QString& text, int durationMs);
    void openUrl(const QUrl& url);

private:
    QPointer<AudioRecorder> m_recorder;
    QPointer<NoticeBox> m_commandNotice;
    QPointer<NoticeBox> m_shortPressNotice;
};
