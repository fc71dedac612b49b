#include "FakeCapture.h"
#include "app/ConfigStore.h"
#include "platform/fake/FakeForegroundWindow.h"
#include "platform/fake/FakeMouseButtons.h"
#include "tests/support/UrlCatcher.h"
#include "tests/support/TestDir.h"
#include "voice/MonitorSideKey.h"
#include "voice/MyThread.h"
#include "voice/SideKeyFeedback.h"

#include <QDesktopServices>
#include <QLabel>
#include <QProgressBar>
#include <QScreen>
#include <QSignalSpy>
#include <QtEndian>
#include <QtTest>
#include <atomic>


static QAudioBuffer signedBuffer(qint16 sample) {
    QByteArray bytes(2, '\0');
    qToLittleEndian(sample, bytes.data());
    return QAudioBuffer(bytes, AudioCapture::recordingFormat());
}

class TestSideKeyThread : public QObject {
    Q_OBJECT
private:
    std::unique_ptr<TestDir> m_dir;

private slots:
    void init() { m_dir = std::make_unique<TestDir>(); }
    void cleanup() { m_dir.reset(); }

    void recorderPosition_data() {
        QTest::addColumn<bool>("hasCaret");
        QTest::addColumn<QPoint>("caret");
        QTest::addColumn<QPoint>("expected");
        const QPoint corner(1920 - 370, 1080 - 70);
        QTest::newRow("inside") << true << QPoint(640, 300) << QPoint(640, 300);
        QTest::newRow("top-left edge") << true << QPoint(1, 1) << QPoint(1, 1);
        QTest::newRow("bottom-right edge") << true << QPoint(1920, 1080) << QPoint(1920, 1080);
        QTest::newRow("x zero") << true << QPoint(0, 500) << corner;
        QTest::newRow("y zero") << true << QPoint(500, 0) << corner;
        QTest::newRow("right of desktop") << true << QPoint(1921, 500) << corner;
        QTest::newRow("below desktop") << true << QPoint(500, 1081) << corner;
        QTest::newRow("negative") << true << QPoint(-20, -20) << corner;
        QTest::newRow("no caret") << false << QPoint(640, 300) << corner;
    }
    void recorderPosition() {
        QFETCH(bool, hasCaret);
        QFETCH(QPoint, caret);
        QFETCH(QPoint, expected);
        QCOMPARE(SideKeyFeedback::recorderPosition(hasCaret, caret, QSize(1920, 1080)), expected);
    }

    void feedbackWindows() {
        SideKeyFeedback feedback;
        QVERIFY(!feedback.recorder());
        feedback.showRecorder(true, QPoint(300, 200), "粤");
        QPointer<AudioRecorder> recorder = feedback.recorder();
        QVERIFY(recorder);
        QVERIFY(recorder->isVisible());
        QCOMPARE(recorder->pos(), QPoint(300, 200));
        QCOMPARE(recorder->languageMark(), QString("粤"));
        feedback.processBuffer(signedBuffer(16384));
        QCOMPARE(recorder->level(), 50);

        // Without a caret it goes to the corner of the screen's desktop.
        const QSize desktop = QGuiApplication::primaryScreen()->virtualGeometry().size();
        feedback.showRecorder(false, QPoint(), "中");
        QCOMPARE(feedback.recorder(), recorder.data());
        QCOMPARE(recorder->pos(), QPoint(desktop.width() - 370, desktop.height() - 70));

        feedback.closeRecorder();
        QVERIFY(!feedback.recorder());
        QTRY_VERIFY(!recorder);                    // deleted on close
        feedback.processBuffer(signedBuffer(100)); // no window: ignored

        feedback.showCommandNotice("请说口令！");
        QVERIFY(feedback.commandNotice()->isVisible());
        QCOMPARE(feedback.commandNotice()->text(), QString("请说口令！"));
        feedback.hideCommandNotice();
        QVERIFY(!feedback.commandNotice()->isVisible());

        feedback.showShortPressNotice("请稍等片刻！", 500);
        QVERIFY(feedback.shortPressNotice()->isVisible());
        QCOMPARE(feedback.shortPressNotice()->text(), QString("请稍等片刻！"));
        QTRY_VERIFY_WITH_TIMEOUT(!feedback.shortPressNotice()->isVisible(), 3000);
    }

    void productPageOpensInTheBrowser() {
        UrlCatcher catcher;
        SideKeyFeedback feedback;
        feedback.openUrl(QUrl("http://product.example/"));
        QCOMPARE(catcher.urls, QList<QUrl>({QUrl("http://product.example/")}));
    }

    // The whole press on the real thread: the monitor and its captures on the side-key thread,
    // the windows on this (GUI) thread.
    void pressOnTheSideKeyThread() {
        ConfigStore& store = ConfigStore::instance();
        store["TypingModel"] = 1;
        store["TypingLanguage"] = 1;
        store.save();

        CaptureLog log;
        std::atomic<FakeMouseButtons*> buttons{nullptr};
        std::atomic<int> made{0};
        SideKeyFeedback feedback;
        MyThread thread(&feedback);
        thread.setMonitorFactory([&] {
            auto b = std::make_unique<FakeMouseButtons>();
            buttons = b.get();
            auto foreground = std::make_unique<FakeForegroundWindow>();
            foreground->caret = QPoint(400, 300);
            auto monitor = std::make_unique<MonitorSideKey>(std::move(b), std::move(foreground));
            monitor->setCaptureFactory([&] { return std::make_unique<FakeCapture>(&log, ++made); });
            return monitor;
        });
        QSignalSpy ready(&thread, &MyThread::monitorReady);
        thread.start();
        QTRY_COMPARE(ready.count(), 1);

        buttons.load()->send(MouseButtons::SideDown);
        QTRY_VERIFY(feedback.recorder() && feedback.recorder()->isVisible());
        QCOMPARE(feedback.recorder()->pos(), QPoint(400, 300));
        QCOMPARE(feedback.recorder()->languageMark(), QString("英"));
        QCOMPARE(log.thread, &thread);
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
        QCOMPARE(log.alive, 0);
        QCOMPARE(log.events.mid(4), QStringList({"new2", "start2", "stop2", "delete2"}));
        QVERIFY(!QFile::exists("record.wav"));
        QCOMPARE(int(store["IsRecording"]), 0);
        QTRY_VERIFY(!feedback.recorder());
    }
};

QTEST_MAIN(TestSideKeyThread)
#include "tst_sidekeythread.moc"
