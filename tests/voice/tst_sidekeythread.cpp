#include "VoiceTestKit.h"
#include "app/ConfigStore.h"
#include "platform/fake/FakeForegroundWindow.h"
#include "platform/fake/FakeMouseButtons.h"
#include "tests/support/TestDir.h"
#include "tests/support/UrlCatcher.h"
#include "voice/MonitorSideKey.h"
#include "voice/MyThread.h"
#include "voice/SideKeyFeedback.h"

#include <QScreen>
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
        QCOMPARE(at(true, QPoint(1, 1)), QPoint(1, 1));
        QCOMPARE(at(true, QPoint(1920, 1080)), QPoint(1920, 1080));
        for (QPoint outside : {QPoint(0, 500), QPoint(500, 0), QPoint(1921, 500), QPoint(500, 1081)})
            QCOMPARE(at(true, outside), corner);
        QCOMPARE(at(false, QPoint(640, 300)), corner);
    }

    void feedbackWindows() {
        SideKeyFeedback feedback;
        feedback.showRecorder(false, QPoint(), "中"); // no caret: the corner of the screen's desktop
        QPointer<AudioRecorder> recorder = feedback.recorder();
        QVERIFY(recorder && recorder->isVisible());
        const QSize desktop = QGuiApplication::primaryScreen()->virtualGeometry().size();
        QCOMPARE(recorder->pos(), QPoint(desktop.width() - 370, desktop.height() - 70));
        feedback.closeRecorder();
        QVERIFY(!feedback.recorder());
        QTRY_VERIFY(!recorder); // deleted on close
        feedback.processBuffer(QAudioBuffer(QByteArray(2, 'x'), AudioCapture::recordingFormat())); // ignored

        feedback.showCommandNotice("请说口令！");
        QVERIFY(feedback.commandNotice()->isVisible());
        QCOMPARE(feedback.commandNotice()->text(), QString("请说口令！"));
        feedback.hideCommandNotice();
        QVERIFY(!feedback.commandNotice()->isVisible());
        feedback.showShortPressNotice("请稍等片刻！", 500);
        QVERIFY(feedback.shortPressNotice()->isVisible());
        QTRY_VERIFY_WITH_TIMEOUT(!feedback.shortPressNotice()->isVisible(), 3000);

        UrlCatcher catcher;
        feedback.openUrl(QUrl("http://product.example/"));
        QCOMPARE(catcher.urls, QList<QUrl>({QUrl("http://product.example/")}));
    }

    // The whole press on the real thread: the monitor and its captures on the side-key thread,
    // the windows on this (GUI) thread.
    void pressOnTheSideKeyThread() {
        ConfigStore& store = ConfigStore::instance();
        store["TypingModel"] = 1;
        store["TypingLanguage"] = 1;
        QStringList log;
        std::atomic<FakeMouseButtons*> buttons{nullptr};
        std::atomic<FakeCapture*> capture{nullptr};
        std::atomic<QThread*> madeOn{nullptr};
        std::atomic<int> made{0};
        SideKeyFeedback feedback;
        MyThread thread(&feedback);
        thread.setMonitorFactory([&] {
            auto b = std::make_unique<FakeMouseButtons>();
            buttons = b.get();
            auto foreground = std::make_unique<FakeForegroundWindow>();
            foreground->caret = QPoint(400, 300);
            auto monitor = std::make_unique<MonitorSideKey>(std::move(b), std::move(foreground));
            monitor->setCaptureFactory([&] {
                madeOn = QThread::currentThread();
                auto c = std::make_unique<FakeCapture>(&log, ++made);
                capture = c.get();
                return c;
            });
            return monitor;
        });
        QSignalSpy ready(&thread, &MyThread::monitorReady);
        thread.start();
        QTRY_COMPARE(ready.count(), 1);

        buttons.load()->send(MouseButtons::SideDown);
        QTRY_VERIFY(feedback.recorder() && feedback.recorder()->isVisible());
        QCOMPARE(feedback.recorder()->pos(), QPoint(400, 300));
        QCOMPARE(feedback.recorder()->languageMark(), QString("英"));
        QCOMPARE(madeOn.load(), &thread);
        // Samples captured there move the level bar here (16384 of 32767: half scale).
        FakeCapture* first = capture;
        QMetaObject::invokeMethod(first, [first] { first->feed(QByteArray("\x00\x40", 2)); });
        QTRY_COMPARE(feedback.recorder()->level(), 50);
        QTest::qWait(300);
        buttons.load()->send(MouseButtons::SideUp);
        QTRY_COMPARE(int(store["IsRecording"]), 1);
        QTRY_VERIFY(!feedback.recorder());
        QVERIFY(QFile::exists("record.wav"));

        // Quit in the middle of the next press: the recorder is stopped and freed on its thread.
        store["IsRecording"] = 0;
        buttons.load()->send(MouseButtons::SideDown);
        QTRY_VERIFY(feedback.recorder());
        thread.quit();
        QVERIFY(thread.wait(5000));
        QCOMPARE(log.mid(4), QStringList({"new2", "start2", "stop2", "delete2"}));
        QVERIFY(!QFile::exists("record.wav"));
        QCOMPARE(int(store["IsRecording"]), 0);
        QTRY_VERIFY(!feedback.recorder());
    }
};

QTEST_MAIN(TestSideKeyThread)
#include "tst_sidekeythread.moc"
