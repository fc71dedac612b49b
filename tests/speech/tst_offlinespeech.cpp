#include "app/ConfigStore.h"
#include "platform/fake/FakeForegroundWindow.h"
#include "platform/fake/FakeMouseButtons.h"
#include "tests/speech/WavFile.h"
#include "tests/support/MessageLog.h"
#include "tests/support/Rows.h"
#include "tests/support/TestDir.h"
#include "tests/support/WavPlayback.h"
#include "voice/RecognitionThread.h"
#include "voice/SideKeyMonitor.h"
#include "voice/speech/OfflineSpeechService.h"

#include <QFile>
#include <QProcess>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QtTest>
#include <cmath>
#include <memory>

namespace {
const QString kHeard = QStringLiteral("go forward ten meters");

// Whether two phrases differ by at most one word left out, added or changed.
bool nearlySame(const QString& heard, const QString& said) {
    const QStringList a = heard.split(' ', Qt::SkipEmptyParts), b = said.split(' ', Qt::SkipEmptyParts);
    int head = 0, tail = 0;
    while (head < a.size() && head < b.size() && a[head] == b[head])
        ++head;
    while (tail < a.size() - head && tail < b.size() - head &&
           a[a.size() - 1 - tail] == b[b.size() - 1 - tail])
        ++tail;
    return a.size() - head - tail <= 1 && b.size() - head - tail <= 1;
}

// Background of a quiet room: noise of the given amplitude, or a 50 Hz hum of it.
QByteArray background(int ms, int amp, bool hum = false) {
    QByteArray bytes = WavFile::silence(ms);
    quint32 seed = 12345;
    for (int i = 0; i + 1 < bytes.size(); i += 2) {
        seed = seed * 1103515245u + 12345u;
        const double s =
            hum ? amp * std::sin((i / 2) * 2 * M_PI * 50 / 16000.0) : int((seed >> 16) % (2 * amp + 1)) - amp;
        qToLittleEndian(qint16(s), bytes.data() + i);
    }
    return bytes;
}
} // namespace

using Refusal = Rows<QByteArray, QString>;  // wav, warning (empty: accepted)
using RealTime = Rows<QByteArray, QString>; // samples, text

// The offline engine, noting how many sample bytes each write brought and when.
class WatchedEngine : public OfflineSpeechService {
public:
    WatchedEngine() : OfflineSpeechService(Settings::fromServicesConfig()) { clock.start(); }
    int audioWrite(Session session, const char* data, int length, int audioStatus, int* endpointStatus,
                   int* recognitionStatus) override {
        {
            QMutexLocker lock(&mutex);
            writes << qMakePair(clock.nsecsElapsed(), length);
        }
        return OfflineSpeechService::audioWrite(session, data, length, audioStatus, endpointStatus,
                                                recognitionStatus);
    }
    // Bytes written from the given time on.
    int writtenSince(qint64 nsecs) {
        QMutexLocker lock(&mutex);
        int bytes = 0;
        for (const auto& write : writes)
            bytes += write.first >= nsecs ? write.second : 0;
        return bytes;
    }
    QMutex mutex;
    QList<QPair<qint64, int>> writes;
    QElapsedTimer clock;
};

class TestOfflineSpeech : public QObject {
    Q_OBJECT
private:
    std::unique_ptr<TestDir> m_dir;
    std::unique_ptr<MessageLog> m_log;
    QByteArray m_goForward; // raw samples
    QStringList m_outcomes;

    std::unique_ptr<RecognitionThread>
    englishThread(const OfflineSpeechService::Settings& settings =
                      OfflineSpeechService::Settings::fromServicesConfig()) {
        setLanguage(1);
        auto thread = std::make_unique<RecognitionThread>(std::make_unique<OfflineSpeechService>(settings));
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
    // its text, "<refused>"/"<unavailable>", or "<unusable>" when the file is not read at all.
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

    void recognisesSynthesisedSpeech() {
        const QString phrase = "what is the weather like in london today";
        if (QStandardPaths::findExecutable(QStringLiteral("flite")).isEmpty())
            QSKIP("flite is not installed (make test installs it)");
        QCOMPARE(QProcess::execute("flite", {"-voice", "slt", "-t", phrase, "-o", m_dir->file("tts.wav")}),
                 0);
        const QByteArray wav = m_dir->read("tts.wav");
        auto thread = englishThread();
        const QString heard = recognise(*thread, wav);
        QVERIFY2(nearlySame(heard, phrase), qPrintable(QString("heard \"%1\"").arg(heard)));
    }

    void silentTakeGivesEmptyTextAndSpoilsNothing_data() {
        QTest::addColumn<QByteArray>("samples");
        QTest::newRow("digital silence") << WavFile::silence(2000);
        QTest::newRow("no samples") << QByteArray();
        // Loud enough for the decoder to hear words in it, were it not held back.
        QTest::newRow("noisy room") << background(3000, 200);
        QTest::newRow("mains hum") << background(3000, 180, true);
    }
    void silentTakeGivesEmptyTextAndSpoilsNothing() {
        QFETCH(QByteArray, samples);
        auto thread = englishThread();
        QCOMPARE(recognise(*thread), kHeard);
        for (int i = 0; i < 3; ++i)
            QCOMPARE(recognise(*thread, WavFile::make(samples)), QString());
        QCOMPARE(recognise(*thread), kHeard);
        QVERIFY(m_log->warnings().isEmpty());
    }

    // The header of a recording is checked before its samples are read.
    void wavFormats_data() {
        const Refusal row;
        const QByteArray samples(32000, '\x10');
        // An extra chunk before the samples, of odd size (so padded) and longer than the first chunk sent.
        row("extra chunk before the data", WavFile::make(m_goForward, 16000, 1, 16, QByteArray(9001, 'x')),
            "");
        row("44.1 kHz", WavFile::make(samples, 44100), "44100 Hz");
        row("stereo", WavFile::make(samples, 16000, 2), "2 channel");
        row("float", WavFile::make(samples, 16000, 1, 32, {}, 3), "format 3");
        row("raw samples", m_goForward, "not a RIFF");
        row("cut inside the header", WavFile::make(samples).left(30), "ends inside its WAV header");
    }
    void wavFormats() {
        const auto [wav, warning] = Refusal::fetch();
        auto thread = englishThread();
        QCOMPARE(recognise(*thread, wav), warning.isEmpty() ? kHeard : QString("<unusable>"));
        if (warning.isEmpty())
            QVERIFY(m_log->warnings().isEmpty());
        else
            QVERIFY2(m_log->contains(warning), qPrintable(m_log->warnings().join('\n')));
        QCOMPARE(recognise(*thread), kHeard);
    }

    void otherLanguagesFailWithOneWarningPerRun() {
        auto thread = englishThread();
        setLanguage(0);
        for (int i = 0; i < 3; ++i)
            QCOMPARE(recognise(*thread), QString("<refused>"));
        int hints = 0, begins = 0;
        for (const QString& w : m_log->warnings()) {
            hints += w.contains(QStringLiteral("services.ini")) ? 1 : 0;
            begins += w == QStringLiteral("Voice Transcribe , SpeechSessionBegin failed !") ? 1 : 0;
        }
        QCOMPARE(hints, 1);
        QCOMPARE(begins, 3);
        setLanguage(1);
        QCOMPARE(recognise(*thread), kHeard);
    }

    void textBeforeAPauseArrivesWhileSending() {
        OfflineSpeechService engine(OfflineSpeechService::Settings::fromServicesConfig());
        QCOMPARE(engine.login({}, {}, {}), 0);
        int error = -1;
        const auto session = engine.sessionBegin({}, TakeQueue::sessionRows[1], &error);
        QCOMPARE(error, 0);
        const QByteArray wav = WavFile::make(m_goForward + background(1500, 30) + m_goForward);
        QByteArray early, all;
        int firstAt = -1; // bytes sent when the first text came back
        int endpoint = 0, recognition = 0;
        for (int sent = 0; sent < wav.size(); sent += 6400) {
            const int n = qMin(6400, wav.size() - sent);
            QCOMPARE(
                engine.audioWrite(session, wav.constData() + sent, n, sent ? 2 : 1, &endpoint, &recognition),
                0);
            if (recognition == SpeechService::ResultReady) {
                const QByteArray part = engine.getResult(session, &recognition, 0, &error);
                QCOMPARE(error, 0);
                if (firstAt < 0 && !part.isEmpty())
                    firstAt = sent + n;
                early += part;
            }
        }
        all = early;
        QCOMPARE(engine.audioWrite(session, nullptr, 0, 4, &endpoint, &recognition), 0);
        while (recognition != SpeechService::ResultComplete)
            all += engine.getResult(session, &recognition, 0, &error);
        // The first phrase came back before the second one was sent.
        QVERIFY(firstAt > 0);
        QVERIFY2(firstAt <= 44 + m_goForward.size() + background(1500, 30).size(),
                 qPrintable(QString::number(firstAt)));
        QVERIFY(early.startsWith(kHeard.toUtf8()));
        QCOMPARE(QString::fromUtf8(all), kHeard + " " + kHeard);
        engine.sessionEnd(session, {});
    }

    // A take fed at the pace of speech: words show while the key is held, the release leaves only
    // the last buffer to decode whatever the take's length, and the text is right.
    void realTime_data() {
        const RealTime row;
        row("2.8 s", m_goForward, kHeard);
        row("8 s", m_goForward + background(2400, 30) + m_goForward, kHeard + " " + kHeard);
    }
    void realTime() {
        const auto [samples, text] = RealTime::fetch();
        setLanguage(1);
        auto owned = std::make_unique<WatchedEngine>();
        WatchedEngine* engine = owned.get();
        RecognitionThread thread(std::move(owned));
        QStringList texts, partials;
        qint64 releasedAt = -1;
        connect(&thread, &RecognitionThread::textRecognised, this, [&](const QString& t) { texts << t; });
        connect(&thread, &RecognitionThread::partialRecognised, this,
                [&](int, const QString& words) { partials << words; });
        thread.start();
        QTRY_COMPARE_WITH_TIMEOUT(thread.engineState(), RecognitionThread::EngineState::Ready, 60000);

        auto* buttons = new FakeMouseButtons;
        SideKeyMonitor monitor{std::unique_ptr<MouseButtons>(buttons),
                               std::make_unique<FakeForegroundWindow>()};
        monitor.setTakeQueue(&thread.takes());
        WavPlayback* playback = nullptr;
        monitor.setCaptureFactory([&, pcm = samples] {
            auto capture = std::make_unique<WavPlayback>(pcm);
            playback = capture.get();
            return capture;
        });
        buttons->send(MouseButtons::SideDown);
        QTRY_VERIFY_WITH_TIMEOUT(playback->done(), 15000);
        QTRY_VERIFY_WITH_TIMEOUT(partials.join(' ').contains("forward"), 10000); // words while held
        QTest::qWait(20); // the last buffer is on its way to the engine, as when a user lets go
        releasedAt = engine->clock.nsecsElapsed();
        buttons->send(MouseButtons::SideUp);
        QTRY_COMPARE_WITH_TIMEOUT(texts.size(), 1, 10000);
        QVERIFY2(nearlySame(texts.first(), text), qPrintable(texts.first()));
        // The engine had most of the take before the release (how much depends on the machine's
        // load) and after it got only the rest, each sample once.
        const int after = engine->writtenSince(releasedAt), before = engine->writtenSince(0) - after;
        QVERIFY(before > 44);
        QCOMPARE(before + after, 44 + samples.size());
    }

    void missingModelFailsLogin() {
        OfflineSpeechService::Settings settings;
        settings.acousticModel = m_dir->file("nowhere");
        auto thread = englishThread(settings);
        QTRY_COMPARE(thread->engineState(), RecognitionThread::EngineState::Failing);
        QVERIFY(m_log->contains(QStringLiteral("SpeechLogin failed !")));
        QVERIFY(m_log->contains(QStringLiteral("model file missing")));
        QCOMPARE(recognise(*thread), QString("<unavailable>"));
        QVERIFY(m_log->contains(QStringLiteral("Voice Transcribe , SpeechSessionBegin failed !")));
    }
};

QTEST_GUILESS_MAIN(TestOfflineSpeech)
#include "tst_offlinespeech.moc"
