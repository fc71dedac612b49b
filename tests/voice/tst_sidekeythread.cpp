#include "VoiceTestKit.h"
#include "app/ConfigStore.h"
#include "platform/fake/FakeForegroundWindow.h"
#include "platform/fake/FakeMouseButtons.h"
#include "tests/support/TestDir.h"
#include "voice/MonitorSideKey.h"
#include "voice/MyThread.h"
#include "voice/SideKeyFeedback.h"

#include <QtTest>
#include <atomic>
#include <optional>

class TestSideKeyThread : public QObject {
    Q_OBJECT
    std::optional<TestDir> m_dir;

private slots:
    void init() { m_dir.emplace(); }

    void recorderPosition() {
        auto at = [](bool hasCaret, QPoint caret) {
            return SideKeyFeedback::recorderPosition(hasCaret, caret, QSize(1920, 1080));
        };
        const QPoint corner(1920 - 370, 1080 - 70);
        for (QPoint inside : {QPoint(1, 1), QPoint(1920, 1080)})
            QCOMPARE(at(true, inside), inside);
        for (QPoint outside : {QPoint(0, 500), QPoint(500, 0), QPoint(1921, 500), QPoint(500, 1081)})
            QCOMPARE(at(true, outside), corner);
        QCOMPARE(at(false, QPoint(640, 300)), corner);
    }

    // Presses on the real thread: the monitor and its captures on the side-key thread, the
    // windows on this (GUI) thread.
    void pressesOnTheSideKeyThread() {
        ConfigStore& store = ConfigStore::instance();
        store["TypingModel"] = 1;
        store["TypingLanguage"] = 1;
        QStringList log;
        std::atomic<FakeMouseButtons*> buttons{nullptr};
        std::atomic<FakeCapture*> capture{nullptr};
        SideKeyFeedback feedback;
        MyThread thread(&feedback);
        thread.setMonitorFactory([&] {
            auto b = std::make_unique<FakeMouseButtons>();
            buttons = b.get();
            auto foreground = std::make_unique<FakeForegroundWindow>();
            foreground->caret = QPoint(400, 300);
            foreground->windowClass = QString("Chrome_WidgetWin_1");
            auto monitor = std::make_unique<MonitorSideKey>(std::move(b), std::move(foreground));
            monitor->setCaptureFactory([&] {
                auto c = std::make_unique<FakeCapture>(&log, 1);
                capture = c.get();
                return c;
            });
            return monitor;
        });
        QSignalSpy ready(&thread, &MyThread::monitorReady);
        thread.start();
        QTRY_COMPARE(ready.count(), 1);
        auto send = [&](MouseButtons::Message message) { buttons.load()->send(message); };

        // A hold in typing mode: the recorder at the caret with the mark, its bar fed from there.
        send(MouseButtons::SideDown);
        QTRY_VERIFY(feedback.recorder() && feedback.recorder()->isVisible());
        QPointer<AudioRecorder> recorder = feedback.recorder();
        QCOMPARE(recorder->pos(), QPoint(400, 300));
        QCOMPARE(recorder->languageMark(), QString("英"));
        FakeCapture* first = capture;
        QCOMPARE(first->thread(), &thread);
        QMetaObject::invokeMethod(first, [first] { first->feed(QByteArray("\x00\x40", 2)); }); // half scale
        QTRY_COMPARE(recorder->level(), 50);
        QTest::qWait(300);
        send(MouseButtons::SideUp);
        QTRY_COMPARE(int(store["IsRecording"]), 1);
        QTRY_VERIFY(!recorder); // closed and deleted
        QVERIFY(QFile::exists("record.wav"));

        // A tap: the short-press notice for 500 ms.
        send(MouseButtons::SideDown);
        send(MouseButtons::SideUp);
        QTRY_VERIFY(feedback.shortPressNotice()->isVisible());
        QCOMPARE(feedback.shortPressNotice()->text(), QString("请稍等片刻！"));
        QTRY_VERIFY_WITH_TIMEOUT(!feedback.shortPressNotice()->isVisible(), 3000);

        // Intelligent mode with a browser in front: the command notice while held. Quitting
        // mid-press stops and frees the recorder on its thread and leaves no file.
        store["TypingModel"] = 0;
        store["IntelligenceModel"] = 1;
        store["IsRecording"] = 0;
        send(MouseButtons::SideDown);
        QTRY_VERIFY(feedback.commandNotice()->isVisible());
        QCOMPARE(feedback.commandNotice()->text(), QString("请说口令！"));
        thread.quit();
        QVERIFY(thread.wait(5000));
        QCOMPARE(log.mid(8), QStringList({"new1", "start1", "stop1", "delete1"}));
        QVERIFY(!QFile::exists("record.wav"));
        QCOMPARE(int(store["IsRecording"]), 0);
        QTRY_VERIFY(!feedback.commandNotice()->isVisible());
        QVERIFY(!feedback.recorder());
    }
};

QTEST_MAIN(TestSideKeyThread)
#include "tst_sidekeythread.moc"
