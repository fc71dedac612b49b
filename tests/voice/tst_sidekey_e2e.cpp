#include "PrivateSoundServer.h"
#include "app/ConfigStore.h"
#include "tests/speech/WavFile.h"
#include "tests/support/TestDir.h"
#include "voice/RecognitionThread.h"
#include "voice/SideKeyFeedback.h"
#include "voice/SideKeyMonitor.h"
#include "voice/SideKeyThread.h"
#include "voice/speech/OfflineSpeechService.h"

#include <QDeadlineTimer>
#include <QtEndian>
#include <QtTest>
#include <optional>

// Xlib last: its macros (Bool, Status, None) clash with Qt headers.
#include "XTestInput.h"

// The side key end to end: real XInput2 events from XTest presses of button 8, the real capture
// from a private virtual microphone that plays synthetic speech, the recorder window on this
// thread and the monitor on the side-key thread.
class TestSideKeyEndToEnd : public QObject {
    Q_OBJECT
    std::unique_ptr<XTestInput> m_input;
    std::unique_ptr<PrivateSoundServer> m_sound;
    QTemporaryDir m_media;
    QString m_speech, m_second;
    std::optional<TestDir> m_dir;
    std::unique_ptr<SideKeyFeedback> m_feedback;
    std::unique_ptr<SideKeyThread> m_thread;

    void startSideKey(TakeQueue* takes = nullptr) {
        ConfigStore& store = ConfigStore::instance();
        store["TypingModel"] = 1; // the other modes read as 0 in a fresh folder
        store["IsRecording"] = 0;
        QVERIFY(store.save());
        m_feedback = std::make_unique<SideKeyFeedback>();
        m_thread = std::make_unique<SideKeyThread>(m_feedback.get());
        m_thread->setTakeQueue(takes);
        QSignalSpy ready(m_thread.get(), &SideKeyThread::monitorReady);
        m_thread->start();
        QTRY_COMPARE(ready.count(), 1);
        QVERIFY(ready.at(0).at(0).value<SideKeyMonitor*>()->isListening());
    }

private slots:
    void initTestCase() {
        if (qEnvironmentVariableIsEmpty("DISPLAY"))
            QSKIP("No X display: run under xvfb-run for the side-key end-to-end test.");
        QString missing = PrivateSoundServer::missingTools();
        if (QStandardPaths::findExecutable("flite").isEmpty())
            missing += missing.isEmpty() ? "flite" : ", flite";
        if (!missing.isEmpty())
            QSKIP(qPrintable("Missing for a real recording of speech: " + missing));
        m_input = std::make_unique<XTestInput>();
        QVERIFY(m_input->display);
        m_speech = m_media.filePath("speech.wav");
        QCOMPARE(
            QProcess::execute("flite", {"-t", "open the calculator and type hello world", "-o", m_speech}),
            0);
        m_second = m_media.filePath("second.wav");
        QCOMPARE(QProcess::execute("flite", {"-t", "go forward ten meters", "-o", m_second}), 0);
        m_sound = std::make_unique<PrivateSoundServer>();
        QVERIFY2(m_sound->start(), "the private sound server did not come up");
        // Before the first use of the audio layer, which connects once per process.
        qputenv("PULSE_SERVER", m_sound->serverAddress().toUtf8());
    }
    void init() { m_dir.emplace(); }
    void cleanup() {
        m_input->button(8, false); // a failed check may have left the key down
        m_thread.reset();          // quits and waits for the thread
        m_feedback.reset();
    }

    void holdRecordsSpeech() {
        TakeQueue takes;
        startSideKey(&takes);
        m_input->button(8, true);
        QTRY_VERIFY(m_feedback->recorder() && m_feedback->recorder()->isVisible());
        const QDeadlineTimer hold(1000);
        QVERIFY(m_sound->play(m_speech));
        QTRY_VERIFY(m_feedback->recorder() && m_feedback->recorder()->level() > 10); // the bar follows
        QTest::qWait(int(hold.remainingTime()));                                     // a 1 s hold
        m_input->button(8, false);
        QTRY_VERIFY(m_dir->read("config.txt").contains("IsRecording=1\n"));
        QTRY_VERIFY(!m_feedback->recorder());
        m_sound->waitForPlayer();

        // A finished 16 kHz mono 16-bit file of at least half a second.
        const QByteArray wav = m_dir->read("record.wav");
        QVERIFY2(wav.size() > 44 + 16000, qPrintable(QString::number(wav.size())));
        QCOMPARE(wav, WavFile::make(wav.mid(44)));
        int peak = 0;
        for (int i = 44; i + 1 < wav.size(); i += 2)
            peak = qMax(peak, qAbs(int(qFromLittleEndian<qint16>(wav.constData() + i))));
        QVERIFY2(peak > 1000, qPrintable(QString("peak %1").arg(peak)));
    }

    // Two takes, the second pressed right after the first is let go, through the real capture and
    // the offline engine: words while each is held, two texts, in order, and nothing left waiting.
    void twoOverlappingTakes() {
        ConfigStore::instance()["TypingLanguage"] = 1;
        RecognitionThread recognition(
            std::make_unique<OfflineSpeechService>(OfflineSpeechService::Settings::fromServicesConfig()));
        QStringList texts, partials;
        connect(&recognition, &RecognitionThread::textRecognised, this,
                [&](const QString& t) { texts << t; });
        connect(&recognition, &RecognitionThread::partialRecognised, this,
                [&](int, const QString& words) { partials << words; });
        recognition.start();
        startSideKey(&recognition.takes());
        for (const QString& speech : {m_speech, m_second}) {
            partials.clear();
            m_input->button(8, true);
            QTRY_VERIFY(m_feedback->recorder());
            QVERIFY(m_sound->play(speech));
            m_sound->waitForPlayer();
            QTest::qWait(300);
            const bool wordsWhileHeld = QTest::qWaitFor([&] { return !partials.isEmpty(); }, 5000);
            m_input->button(8, false);
            QVERIFY(wordsWhileHeld);
        }
        QTRY_COMPARE_WITH_TIMEOUT(texts.size(), 2, 20000);
        QVERIFY2(!texts.at(0).isEmpty() && !texts.at(1).isEmpty(), qPrintable(texts.join('|')));
        QTRY_COMPARE(int(ConfigStore::instance()["IsRecording"]), 0);
        QTRY_VERIFY(!QFile::exists("record.wav"));
        m_thread.reset();
    }

    void tapLeavesNoFile() {
        startSideKey();
        m_input->button(8, true);
        QTest::qWait(100);
        m_input->button(8, false);
        QTRY_VERIFY(m_feedback->shortPressNotice()->isVisible());
        QTRY_VERIFY(!m_feedback->recorder());
        QTest::qWait(200);
        QVERIFY(!QFile::exists("record.wav"));
        QVERIFY(m_dir->read("config.txt").contains("IsRecording=0\n"));
    }

    // Runs last: it takes the sound server down.
    void deviceLostMidwayStillFinishesTheFile() {
        AudioCapture capture;
        QVERIFY(m_sound->play(m_speech));
        QVERIFY(capture.startRecording("record.wav"));
        QTRY_VERIFY(capture.bytesRecorded() >= 8000);
        m_sound->stop();
        // The input reports the lost server; the capture finishes the file by itself.
        QTRY_VERIFY_WITH_TIMEOUT(!capture.isRecording(), 10000);
        const QByteArray wav = m_dir->read("record.wav");
        QVERIFY(wav.size() >= 44 + 8000);
        QCOMPARE(wav, WavFile::make(wav.mid(44)));
    }
};

QTEST_MAIN(TestSideKeyEndToEnd)
#include "tst_sidekey_e2e.moc"
