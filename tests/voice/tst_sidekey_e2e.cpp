#include "PrivateSoundServer.h"
#include "app/ConfigStore.h"
#include "tests/support/TestDir.h"
#include "voice/AudioCapture.h"
#include "voice/MonitorSideKey.h"
#include "voice/MyThread.h"
#include "voice/SideKeyFeedback.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QtEndian>
#include <QtTest>

// Xlib last: its macros (Bool, Status, None) clash with Qt headers.
#include "XTestInput.h"

// The side key end to end: real XInput2 events from XTest presses of button 8, the real capture
// from a private virtual microphone that plays synthetic speech, the recorder window on this
// thread and the monitor on the side-key thread.
class TestSideKeyEndToEnd : public QObject {
    Q_OBJECT
private:
    std::unique_ptr<XTestInput> m_input;
    std::unique_ptr<PrivateSoundServer> m_sound;
    QTemporaryDir m_media;
    QString m_speech;
    std::unique_ptr<TestDir> m_dir;
    std::unique_ptr<SideKeyFeedback> m_feedback;
    std::unique_ptr<MyThread> m_thread;

    void startSideKey() {
        ConfigStore& store = ConfigStore::instance();
        store["TypingModel"] = 1;
        store["IntelligenceModel"] = 0;
        store["TranslationModel"] = 0;
        store["ClosePrompt"] = 0;
        store["IsRecording"] = 0;
        QVERIFY(store.save());
        m_feedback = std::make_unique<SideKeyFeedback>();
        m_thread = std::make_unique<MyThread>(m_feedback.get());
        QSignalSpy ready(m_thread.get(), &MyThread::monitorReady);
        m_thread->start();
        QTRY_COMPARE(ready.count(), 1);
        QVERIFY(ready.at(0).at(0).value<MonitorSideKey*>()->isListening());
    }

    static QString configLine(const QString& key) {
        QFile file("config.txt");
        if (!file.open(QIODevice::ReadOnly))
            return QString();
        for (const QByteArray& line : file.readAll().split('\n'))
            if (line.startsWith(key.toLatin1() + '='))
                return QString::fromLatin1(line.trimmed());
        return QString();
    }

private slots:
    void initTestCase() {
        if (qEnvironmentVariableIsEmpty("DISPLAY"))
            QSKIP("No X display: run under xvfb-run for the side-key end-to-end test.");
        const QString missing = PrivateSoundServer::missingTools();
        if (!missing.isEmpty())
            QSKIP(qPrintable("The sound server tools are missing (" + missing +
                             "): no end-to-end recording test."));
        if (QStandardPaths::findExecutable("flite").isEmpty())
            QSKIP("flite is missing: no speech to record.");
        m_input = std::make_unique<XTestInput>();
        QVERIFY(m_input->isOpen());

        m_speech = m_media.filePath("speech.wav");
        QCOMPARE(
            QProcess::execute("flite", {"-t", "open the calculator and type hello world", "-o", m_speech}),
            0);

        m_sound = std::make_unique<PrivateSoundServer>();
        QVERIFY2(m_sound->start(), "the private sound server did not come up");
        // Before the first use of the audio layer, which connects once per process.
        qputenv("PULSE_SERVER", m_sound->serverAddress().toUtf8());
    }
    void cleanupTestCase() {
        m_sound.reset();
        m_input.reset();
    }
    void init() { m_dir = std::make_unique<TestDir>(); }
    void cleanup() {
        if (m_thread) {
            m_thread->quit();
            QVERIFY(m_thread->wait(5000));
        }
        m_thread.reset();
        m_feedback.reset();
        m_dir.reset();
    }

    void holdRecordsSpeech() {
        startSideKey();
        m_input->button(8, true);
        QTRY_VERIFY(m_feedback->recorder() && m_feedback->recorder()->isVisible());
        QVERIFY(m_sound->play(m_speech));
        int loudest = 0;
        QElapsedTimer held;
        held.start();
        while (held.elapsed() < 1000) {
            QTest::qWait(20);
            if (m_feedback->recorder())
                loudest = qMax(loudest, m_feedback->recorder()->level());
        }
        m_input->button(8, false);
        QTRY_COMPARE(configLine("IsRecording"), QString("IsRecording=1"));
        QTRY_VERIFY(!m_feedback->recorder());
        m_sound->waitForPlayer();

        QFile file("record.wav");
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray wav = file.readAll();
        QVERIFY2(wav.size() > 44 + 16000, qPrintable(QString::number(wav.size())));
        const auto* p = reinterpret_cast<const uchar*>(wav.constData());
        QCOMPARE(wav.left(4), QByteArray("RIFF"));
        QCOMPARE(qFromLittleEndian<quint32>(p + 4), quint32(wav.size() - 8));
        QCOMPARE(qFromLittleEndian<quint16>(p + 20), quint16(1));     // PCM
        QCOMPARE(qFromLittleEndian<quint16>(p + 22), quint16(1));     // mono
        QCOMPARE(qFromLittleEndian<quint32>(p + 24), quint32(16000)); // 16 kHz
        QCOMPARE(qFromLittleEndian<quint16>(p + 34), quint16(16));    // 16-bit
        QCOMPARE(qFromLittleEndian<quint32>(p + 40), quint32(wav.size() - 44));
        int peak = 0;
        for (int i = 44; i + 1 < wav.size(); i += 2)
            peak = qMax(peak, qAbs(int(qFromLittleEndian<qint16>(p + i))));
        qDebug("recorded %d bytes, peak sample %d, loudest level %d", int(wav.size() - 44), peak, loudest);
        QVERIFY2(peak > 1000, qPrintable(QString("peak %1").arg(peak)));
        // The level bar followed the speech.
        QVERIFY2(loudest > 10, qPrintable(QString("level %1").arg(loudest)));
    }

    void tapLeavesNoFile() {
        startSideKey();
        m_input->button(8, true);
        QTest::qWait(100);
        m_input->button(8, false);
        QTRY_VERIFY(m_feedback->shortPressNotice()->isVisible());
        QCOMPARE(m_feedback->shortPressNotice()->text(), QString("请稍等片刻！"));
        QTRY_VERIFY(!m_feedback->recorder());
        QTest::qWait(200);
        QVERIFY(!QFile::exists("record.wav"));
        QCOMPARE(int(ConfigStore::instance()["IsRecording"]), 0);
        QCOMPARE(configLine("IsRecording"), QString("IsRecording=0"));
    }

    void unwritableFileRecordsNothing() {
        QVERIFY(QDir().mkdir("record.wav")); // a folder where the file should go
        AudioCapture capture;
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("open WAV file failed"));
        QVERIFY(!capture.startRecording("record.wav"));
        QVERIFY(!capture.isRecording());
        QVERIFY(QFileInfo("record.wav").isDir());
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
        QFile file("record.wav");
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray wav = file.readAll();
        QVERIFY(wav.size() >= 44 + 8000);
        const auto* p = reinterpret_cast<const uchar*>(wav.constData());
        QCOMPARE(qFromLittleEndian<quint32>(p + 4), quint32(wav.size() - 8));
        QCOMPARE(qFromLittleEndian<quint32>(p + 40), quint32(wav.size() - 44));
        QCOMPARE(wav.size() % 2, 0);
        capture.stopRecording(); // nothing left to do
        QCOMPARE(QFileInfo("record.wav").size(), qint64(wav.size()));
    }
};

QTEST_MAIN(TestSideKeyEndToEnd)
#include "tst_sidekey_e2e.moc"
