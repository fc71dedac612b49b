#include "tests/support/TestDir.h"
#include "voice/AudioCapture.h"

#include <QtTest>

// Run with no reachable sound server (see CMakeLists.txt).
class TestAudioCaptureNoInput : public QObject {
    Q_OBJECT
private slots:
    void failsQuietlyWithoutAFile() {
        TestDir dir;
        AudioCapture capture;
        QVERIFY(!capture.startRecording("record.wav"));
        QVERIFY(!capture.isRecording());
        capture.stopRecording();
        QVERIFY(!QFile::exists("record.wav"));
    }
};

QTEST_MAIN(TestAudioCaptureNoInput)
#include "tst_audiocapture_noinput.moc"
