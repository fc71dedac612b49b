#include "app/ConfigStore.h"
#include "tests/speech/WavFile.h"
#include "tests/support/MessageLog.h"
#include "tests/support/Rows.h"
#include "tests/support/TestDir.h"
#include "voice/RecognitionThread.h"
#include "voice/speech/OfflineSpeechService.h"

#include <QFile>
#include <QtTest>
#include <memory>

namespace {
const QString kHeard = QStringLiteral("go forward ten meters");

// Background noise of a quiet room, of the given amplitude.
QByteArray background(int ms, int amp) {
    QByteArray bytes = WavFile::silence(ms);
    quint32 seed = 12345;
    for (int i = 0; i + 1 < bytes.size(); i += 2) {
        seed = seed * 1103515245u + 12345u;
        qToLittleEndian(qint16(int((seed >> 16) % (2 * amp + 1)) - amp), bytes.data() + i);
    }
    return bytes;
}
} // namespace

class TestOfflineSpeech : public QObject {
    Q_OBJECT
private:
    std::unique_ptr<TestDir> m_dir;
    std::unique_ptr<MessageLog> m_log;
    QByteArray m_goForward; // raw samples
    QStringList m_outcomes;

    std::unique_ptr<RecognitionThread> englishThread() {
        setLanguage(1);
        auto thread = std::make_unique<RecognitionThread>(
            std::make_unique<OfflineSpeechService>(OfflineSpeechService::Settings::fromServicesConfig()));
        // The thread is the context: a text still queued when it goes never reaches the next test.
        connect(thread.get(), &RecognitionThread::textRecognised, thread.get(),
                [this](const QString& t) { m_outcomes << t; });
        connect(thread.get(), &RecognitionThread::recognitionFailed, thread.get(),
                [this](RecognitionThread::Failure f) {
                    m_outcomes << (f == RecognitionThread::Failure::LanguageRefused ? "<refused>"
                                                                                    : "<unavailable>");
                });
        thread->start();
        return thread;
    }
    void setLanguage(int language) {
        m_dir->write("config.txt", "TypingModel=1\nTypingLanguage=" + QByteArray::number(language) + "\n");
        TestDir::reloadSettings();
    }
    // What a recording left in "record.wav" gives, by default the one of "go forward ten meters":
    // its text, "<refused>" or "<unavailable>".
    QString recognise(RecognitionThread& thread, QByteArray wav = QByteArray()) {
        // The previous take is done with (its end removes "record.wav").
        if (!QTest::qWaitFor([&] { return thread.takes().size() == 0; }, 60000))
            return QStringLiteral("<busy>");
        m_dir->write("record.wav", wav.isNull() ? WavFile::make(m_goForward) : wav);
        m_outcomes.clear();
        if (!thread.queueRecording(m_dir->file("record.wav")))
            return QStringLiteral("<unusable>");
        if (!QTest::qWaitFor([&] { return !m_outcomes.isEmpty(); }, 60000))
            return QStringLiteral("<none>");
        return m_outcomes.join('|');
    }

private slots:
    void initTestCase() {
        QFile raw("/usr/share/pocketsphinx/test/data/goforward.raw");
        if (raw.open(QIODevice::ReadOnly))
            m_goForward = raw.readAll();
        if (m_goForward.isEmpty())
            QSKIP("pocketsphinx-testdata is not installed (make test installs it)");
        if (!QFile::exists(QStringLiteral("/usr/share/pocketsphinx/model/en-us/en-us.lm.bin")))
            QSKIP("pocketsphinx-en-us is not installed (make test installs it)");
    }
    void init() {
        m_dir = std::make_unique<TestDir>();
        m_dir->write("userwords.txt", "calculator\nnotepad\nzorvel\n");
        m_log = std::make_unique<MessageLog>();
    }
    void cleanup() {
        m_log.reset();
        m_dir.reset();
    }

    void silentTakeGivesEmptyTextAndSpoilsNothing_data() {
        const Rows<QByteArray> row; // samples
        row("no samples", QByteArray());
        // Loud enough for the decoder to hear words in it, were it not held back.
        row("noisy room", background(3000, 200));
    }
    void silentTakeGivesEmptyTextAndSpoilsNothing() {
        const auto [samples] = Rows<QByteArray>::fetch();
        auto thread = englishThread();
        QCOMPARE(recognise(*thread), kHeard);
        for (int i = 0; i < 3; ++i)
            QCOMPARE(recognise(*thread, WavFile::make(samples)), QString());
        QCOMPARE(recognise(*thread), kHeard);
        QVERIFY(m_log->warnings().isEmpty());
    }

    void otherLanguagesFailWithOneWarningPerRun() {
        auto thread = englishThread();
        setLanguage(0);
        for (int i = 0; i < 3; ++i)
            QCOMPARE(recognise(*thread), QString("<refused>"));
        QCOMPARE(m_log->warnings().filter("services.ini").size(), 1);
        QCOMPARE(m_log->warnings().filter("Voice Transcribe , SpeechSessionBegin failed !").size(), 3);
        setLanguage(1);
        QCOMPARE(recognise(*thread), kHeard);
    }
};

QTEST_GUILESS_MAIN(TestOfflineSpeech)
#include "tst_offlinespeech.moc"
