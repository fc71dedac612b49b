#pragma once

#include "app/StartRequest.h"
#include "platform/ForegroundWindow.h"
#include "platform/MouseButtons.h"
#include "voice/AudioCapture.h"
#include "voice/TakeQueue.h"

#include <QAudioBuffer>
#include <QObject>
#include <QPoint>
#include <QUrl>
#include <functional>
#include <memory>

class ConfigStore;

// Turns the mouse's side key into a hold-to-talk key. Pressing it begins a take in the take queue
// and starts recording the microphone; every captured buffer goes to the take at once (so it is
// recognised while the key is held) and into "record.wav". Releasing the key after 200 ms or more
// closes the take, a shorter tap cancels it and discards the file. Holding the middle button for
// more than 3 s opens the product page.
//
// The monitor, its mouse-button source and the capture live on the side-key thread. Windows
// must stay on the GUI thread, so everything the user sees is asked for through the signals
// below, which start-up connects to a SideKeyFeedback object on the GUI thread.
class SideKeyMonitor : public QObject {
    Q_OBJECT
public:
    using Clock = std::function<qint64()>;
    using CaptureFactory = std::function<std::unique_ptr<AudioCapture>()>;

    static constexpr int MinimumHoldMs = 200;
    static constexpr int ProductPageHoldMs = 3000;

    // Starts listening at once; without global mouse events the side key does nothing.
    explicit SideKeyMonitor(std::unique_ptr<MouseButtons> buttons = MouseButtons::create(),
                            std::unique_ptr<ForegroundWindow> foreground = ForegroundWindow::create(),
                            QObject* parent = nullptr);
    // Stops and discards a recording still in progress.
    ~SideKeyMonitor() override;

    // Milliseconds since the epoch; tests set their own clock.
    void setClock(Clock clock) { m_clock = std::move(clock); }
    // Makes the capture of each press; tests record nothing real.
    void setCaptureFactory(CaptureFactory factory) { m_captureFactory = std::move(factory); }
    // Where takes go (the recognition thread's queue); without one the key only records.
    void setTakeQueue(TakeQueue* takes) { m_takes = takes; }
    // The take of the press in progress, if any.
    TakeQueue::TakePtr currentTake() const { return m_take; }

    // Whether the mouse-button source delivers events.
    bool isListening() const { return m_listening; }
    bool isRecording() const { return m_capture != nullptr; }
    AudioCapture* currentCapture() const { return m_capture.get(); }

    // The length of a hold: the difference of the low 32 bits of the two time stamps, taken as
    // a signed value (a clock that went back gives a negative length).
    static qint32 holdDuration(qint64 pressed, qint64 released);
    // The language mark of the active mode: typing, then intelligent, then translation, a
    // later active mode overriding an earlier one; "中" when no index is in range.
    static QString languageMark(ConfigStore& store);
    // The product page, from services.ini.
    static QUrl productPage();

public slots:
    void mouseHookProc(MouseButtons::Message message);
    // A take driven from outside (a desktop shortcut): the side key's own press and release. A
    // begin during a take is ignored, since held shortcut keys repeat.
    void remoteTake(StartRequest::TakeAction action);

signals:
    // Show the recorder window at the caret point (when there is one) with the language mark.
    void recorderShown(bool hasCaret, const QPoint& caret, const QString& mark);
    // Close and delete the recorder window.
    void recorderClosed();
    // The captured samples of the recording in progress, for the level bar.
    void levelBuffer(const QAudioBuffer& buffer);
    void commandNoticeShown(const QString& text);
    void commandNoticeHidden();
    void shortPressNoticeShown(const QString& text, int durationMs);
    void urlRequested(const QUrl& url);

private:
    void sideKeyDown();
    void sideKeyUp();
    void showCaretIndicator();
    // Stops the current recording and forgets it, with the windows of the press.
    void endPress();
    void onBuffer(const QAudioBuffer& buffer);

    std::unique_ptr<MouseButtons> m_buttons;
    std::unique_ptr<ForegroundWindow> m_foreground;
    std::unique_ptr<AudioCapture> m_capture;
    TakeQueue* m_takes = nullptr;
    TakeQueue::TakePtr m_take;
    Clock m_clock;
    CaptureFactory m_captureFactory;
    qint64 m_pressTime = 0;
    bool m_middleHeld = false;
    bool m_listening = false;
};
