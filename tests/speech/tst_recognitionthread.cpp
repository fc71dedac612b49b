#include "app/ConfigStore.h"
#include "tests/speech/ScriptedSpeechService.h"
#include "tests/speech/WavFile.h"
#include "tests/support/MessageLog.h"
#include "tests/support/Rows.h"
#include "tests/support/TestDir.h"
#include "voice/RecognitionThread.h"

#include <QFile>
#include <QtTest>
#include <memory>

using Write = ScriptedSpeechService::Write;
using Reply = ScriptedSpeechService::Reply;
using TakePtr = TakeQueue::TakePtr;
Q_DECLARE_METATYPE(QList<Reply>)
Q_DECLARE_METATYPE(QList<Write>)
Q_DECLARE_METATYPE(QSet<int>)

namespace {
QByteArray audioBytes(int size) {
    QByteArray bytes(size, '\0');
    for (int i = 0; i < size; ++i)
        bytes[i] = char(i * 7 + i / 251);
    return bytes;
}
const int kHeader = 44; // the WAV header that goes ahead of every take's samples
} // namespace

// Take size, replies, outcome, warning, writes (checked when given), recognition status after
// each data write, begin error, failing write.
using Session = Rows<int, QList<Reply>, QString, QString, QList<Write>, QList<int>, int, int>;
// Takes, sessions whose closing write fails, login time, outcomes.
using Overlap = Rows<int, QSet<int>, int, QStringList>;
// "record.wav", outcomes, warning, samples that reached the engine.
using Leftover = Rows<QByteArray, QStringList, QString, int>;

class TestRecognitionThread : public QObject {
    Q_OBJECT
private:
    std::unique_ptr<TestDir> m_dir;
    std::unique_ptr<MessageLog> m_log;
    ScriptedSpeechService* m_fake = nullptr;
    QMutex m_mutex;
    QStringList m_outcomes; // texts and failures as they were emitted, in order

    std::unique_ptr<RecognitionThread>
    makeThread(const std::function<void(ScriptedSpeechService&)>& script = {}) {
        auto fake = std::make_unique<ScriptedSpeechService>();
        if (script)
            script(*fake);
        m_fake = fake.get();
        auto thread = std::make_unique<RecognitionThread>(std::move(fake));
        connect(
            thread.get(), &RecognitionThread::textRecognised, this,
            [this](const QString& text) { add(text); }, Qt::DirectConnection);
        connect(
            thread.get(), &RecognitionThread::recognitionFailed, this,
            [this](RecognitionThread::Failure f) {
                add(f == RecognitionThread::Failure::LanguageRefused ? "<refused>" : "<unavailable>");
            },
            Qt::DirectConnection);
        connect(
            thread.get(), &RecognitionThread::partialRecognised, this,
            [this](int, const QString& words) { add("<words " + words + ">"); }, Qt::DirectConnection);
        return thread;
    }
    void add(const QString& outcome) {
        QMutexLocker lock(&m_mutex);
        m_outcomes << outcome;
    }
    QStringList outcomes() {
        QMutexLocker lock(&m_mutex);
        return m_outcomes;
    }
    // A released take of the given samples, as if the key had been held over them; queued whole,
    // so that how it is cut into writes does not depend on how fast the thread picks it up.
    TakePtr speak(RecognitionThread& thread, const QByteArray& samples) {
        return thread.takes().addClosed(samples);
    }
    int flag() { return ConfigStore::instance()["IsRecording"]; }

private slots:
    void init() {
        m_dir = std::make_unique<TestDir>();
        m_dir->write("userwords.txt", "Zorvel\nQt\n");
        m_dir->write("config.txt", "");
        TestDir::reloadSettings();
        m_log = std::make_unique<MessageLog>();
        m_outcomes.clear();
    }
    void cleanup() {
        m_log.reset();
        m_dir.reset();
        m_fake = nullptr;
    }

    // One released take with a scripted engine; after it the next take goes through.
    void session_data() {
        const Session table;
        const auto row = [&](const char* name, int size, const QList<Reply>& replies, const QString& outcome,
                             const QString& warning = {}, const QList<Write>& writes = {},
                             const QList<int>& writeRecognition = {}, int beginError = 0,
                             int failWriteAt = -1) {
            table(name, size, replies, outcome, warning, writes, writeRecognition, beginError, failWriteAt);
        };
        const QByteArray a4000(4000, 'a'), b96(96, 'b'), mib(1 << 20, 'c');
        const QString full = "Voice Transcribe , no enough buffer for rec_result !",
                      write = "Voice Transcribe , SpeechAudioWrite failed !";
        const Reply text{"text", 5, 0};
        // Chunks of 6400 sample bytes; once released, less than 12800 left go as one.
        row("10000 bytes: one chunk", 10000, {text}, "text", {}, {{kHeader + 10000, 1}, {0, 4}});
        // Fragments of the result.
        row("fragments while sending", 20000, {{"one ", 2, 0}, {"two ", 2, 0}, {"three", 5, 0}},
            "one two three", {}, {}, {0, 2, 0});
        row("4096 bytes kept whole", 20000, {{a4000, 0, 0}, {b96, 5, 0}}, a4000 + b96);
        row("1 MiB refused", 20000, {{a4000, 0, 0}, {mib, 5, 0}}, "", full);
        // Failed calls: the engine is unavailable, the next take still goes through.
        row("session begin fails", 20000, {text}, "<unavailable>",
            "Voice Transcribe , SpeechSessionBegin failed !", {}, {}, 10107);
        row("closing write fails", 20000, {text}, "<unavailable>", write,
            {{kHeader + 6400, 1}, {6400, 2}, {7200, 2}, {0, 4}}, {}, 0, 3);
    }
    void session() {
        const auto [size, replies, outcome, warning, writes, writeRecognition, beginError, failWriteAt] =
            Session::fetch();
        auto thread =
            makeThread([replies = replies, writeRecognition = writeRecognition, beginError = beginError,
                        failWriteAt = failWriteAt](ScriptedSpeechService& f) {
                f.replies = replies;
                f.writeRecognition = writeRecognition;
                f.beginError = beginError;
                f.failWriteAt = failWriteAt;
            });
        thread->start();
        speak(*thread, audioBytes(size));
        QTRY_COMPARE(outcomes(), QStringList{outcome});
        QTRY_COMPARE(flag(), 0);
        QCOMPARE(m_log->warnings(), warning.isEmpty() ? QStringList() : QStringList{warning});
        if (!writes.isEmpty()) {
            QCOMPARE(m_fake->writeList(), writes);
            QCOMPARE(m_fake->audio.mid(kHeader), audioBytes(size).left(m_fake->audio.size() - kHeader));
        }
        QCOMPARE(m_fake->beginParams, QByteArray(TakeQueue::sessionRows[0]));
        QTRY_COMPARE(m_fake->endedSessions,
                     QList<SpeechService::Session>{beginError ? SpeechService::NoSession : 7});

        m_fake->beginError = 0;
        m_fake->failWriteAt = -1;
        m_fake->replies = {Reply{"next", 5, 0}};
        speak(*thread, audioBytes(1000));
        QTRY_COMPARE(outcomes(), (QStringList{outcome, "next"}));
    }

    // Samples reach the engine while the key is held; a release gives the text, a tap ends the
    // session and gives nothing. Words still being found at the release are not shown: the next
    // take's window may be open by the time they are.
    void held_data() {
        const Rows<bool> row; // released, while the words so far are found
        row("tap", false);
        row("released while the words so far are found", true);
    }
    void held() {
        const auto [released] = Rows<bool>::fetch();
        auto thread = makeThread([](ScriptedSpeechService& f) {
            f.replies = {Reply{"held", 5, 0}};
            f.partialWords = "so far";
            f.partialMs = 300;
        });
        thread->start();
        TakeQueue& takes = thread->takes();
        const TakePtr take = takes.begin();
        const QByteArray samples = audioBytes(released ? 4800 + 6400 : 4800);
        for (int i = 0; i < 3; ++i) {
            takes.append(take, samples.mid(i * 1600, 1600));
            QTRY_COMPARE(m_fake->audio.size(), kHeader + (i + 1) * 1600); // before the release
        }
        if (released) {
            takes.append(take, samples.mid(4800)); // enough for the words so far to be asked for
            QTRY_COMPARE(int(m_fake->partialsAsked), 1);
            takes.close(take);
        } else {
            takes.cancel(take);
        }
        QTRY_COMPARE(m_fake->endedSessions, QList<SpeechService::Session>{7});
        QTRY_COMPARE(takes.size(), 0);
        QCOMPARE(m_fake->callList().contains("close"), released);
        QCOMPARE(outcomes(), released ? QStringList{"held"} : QStringList());
        QCOMPARE(m_fake->audio.mid(kHeader), samples);
        QCOMPARE(flag(), 0);
        QCOMPARE(m_dir->read("config.txt").contains("IsRecording=1"), false); // a tap never raised it
    }

    // Takes that overlap (each begun while the earlier ones still decode, 0.5 s each) come out
    // in order; a failure touches only its own take and is told once per stretch.
    void overlapping_data() {
        const Overlap row;
        row("a failing take between two good ones", 3, {8}, 0, {"t1", "<unavailable>", "t3"});
        row("a stretch of failures is told once", 4, {7, 8, 10}, 0, {"<unavailable>", "t3", "<unavailable>"});
        row("takes pressed before the login ended", 2, {}, 800, {"t1", "t2"});
    }
    void overlapping() {
        const auto [count, failing, loginMs, expected] = Overlap::fetch();
        auto thread =
            makeThread([count = count, failing = failing, loginMs = loginMs](ScriptedSpeechService& f) {
                f.failingSessions = failing;
                f.closeDelayMs = 500;
                f.loginDelayMs = loginMs;
                for (int i = 1; i <= count; ++i)
                    if (!failing.contains(6 + i))
                        f.replies << Reply{"t" + QByteArray::number(i), 5, 0};
            });
        m_dir->write("record.wav", "the latest take");
        thread->start();
        for (int i = 0; i < count; ++i) {
            speak(*thread, audioBytes(3200));
            QCOMPARE(flag(), 1);
            QTest::qWait(100);
        }
        if (loginMs)
            QCOMPARE(thread->engineState(), RecognitionThread::EngineState::Loading);
        QTRY_COMPARE_WITH_TIMEOUT(outcomes(), expected, 10000);
        QTRY_COMPARE(flag(), 0);
        QVERIFY(m_dir->read("config.txt").contains("IsRecording=0"));
        QTRY_VERIFY(!QFile::exists("record.wav"));
    }

    // "record.wav" belongs to the latest take: an earlier take's end leaves it alone.
    void latestTakeKeepsItsFile() {
        auto thread = makeThread([](ScriptedSpeechService& f) {
            f.replies = {Reply{"a", 5, 0}, Reply{"b", 5, 0}};
        });
        const TakePtr first = thread->takes().begin();
        const TakePtr second = thread->takes().begin(); // both wait before the thread starts
        thread->start();
        m_dir->write("record.wav", "second");
        thread->takes().close(first);
        QTRY_COMPARE(outcomes(), QStringList{"a"});
        QTRY_COMPARE(thread->takes().size(), 1);
        QVERIFY(QFile::exists("record.wav"));
        QCOMPARE(flag(), 0); // the second take is still held
        thread->takes().close(second);
        QTRY_COMPARE(outcomes(), (QStringList{"a", "b"}));
        QTRY_VERIFY(!QFile::exists("record.wav"));
    }

    // Takes begun before a change of engine finish on the old one, the rest run on the new one.
    void engineChangeMidQueue() {
        auto thread = makeThread([&](ScriptedSpeechService& f) {
            f.closeDelayMs = 300;
            f.replies = {Reply{"old", 5, 0}, Reply{"old", 5, 0}};
        });
        thread->start();
        speak(*thread, audioBytes(100));
        QTRY_VERIFY(m_fake->callList().contains("begin"));
        thread->setEngineFactory([]() -> std::unique_ptr<SpeechService> {
            auto next = std::make_unique<ScriptedSpeechService>();
            next->replies = {Reply{"new", 5, 0}, Reply{"new", 5, 0}};
            return next;
        });
        speak(*thread, audioBytes(100));
        speak(*thread, audioBytes(100));
        QTRY_COMPARE(outcomes(), (QStringList{"old", "new", "new"}));
    }

    // A take an interrupted run left behind (IsRecording = 1) is recognised from its file, whose
    // header is checked and of which at most 5 minutes are read.
    void leftover_data() {
        const Leftover row;
        const QString unusable = "Voice Transcribe , the recording";
        row("a finished recording", WavFile::make(audioBytes(3000)), {"left over"}, {}, 3000);
        row("no file", {}, {}, "Voice Transcribe , open audioFile failed !", -1);
        row("not a WAV file", audioBytes(3000), {}, unusable, -1);
        // An odd-sized chunk ahead of the samples, longer than one read of the header.
        row("extra chunk", WavFile::make(audioBytes(3000), 16000, 1, 16, QByteArray(9001, 'x')),
            {"left over"}, {}, 3000);
        // A 2 GB file whose data chunk claims almost 4 GB: only 5 minutes of it are read.
        row("2 GB", "huge", {"left over"}, {}, int(RecognitionThread::MaxRecordingBytes));
        // A chunk claiming 2 MiB ahead of the samples: the header search gives up at 1 MiB.
        QByteArray noData = WavFile::make({});
        row("no data chunk within 1 MiB", noData.replace(36, 8, "LIST" + WavFile::le(quint32(2 << 20))), {},
            "no data chunk", -1);
    }
    void leftover() {
        const auto [wav, outcome, warning, samples] = Leftover::fetch();
        m_dir->write("config.txt", "IsRecording=1\n");
        TestDir::reloadSettings();
        if (wav == "huge") {
            QByteArray header = WavFile::make(QByteArray());
            header.replace(40, 4, WavFile::le(quint32(0xFFFFFF00)));
            m_dir->write("record.wav", header);
            QFile file(m_dir->file("record.wav"));
            QVERIFY(file.resize(qint64(2) << 30)); // sparse: costs no disk
        } else if (!wav.isNull()) {
            m_dir->write("record.wav", wav);
        }
        auto thread = makeThread([](ScriptedSpeechService& f) { f.replies = {Reply{"left over", 5, 0}}; });
        thread->start();
        QTRY_COMPARE(flag(), 0);
        QTRY_COMPARE(thread->takes().size(), 0);
        QCOMPARE(outcomes(), outcome);
        QCOMPARE(m_log->warnings().join('\n').contains(warning), true);
        QCOMPARE(m_fake->audio.size() - kHeader, samples < 0 ? -kHeader : samples);
        QVERIFY(m_dir->read("config.txt").contains("IsRecording=0"));
    }

    // First start: mode languages an English-only engine cannot recognise become English, saved
    // at once.
    void firstStartLanguages() {
        m_dir->write("config.txt", "IntelligenceLanguage=0\nTranslationLanguage=2\nTypingLanguage=3\n");
        TestDir::reloadSettings();
        auto thread = makeThread([](ScriptedSpeechService& f) { f.languages = 0x2; });
        QVERIFY(thread->adaptLanguagesToEngine(ConfigStore::instance()));
        const QByteArray saved = m_dir->read("config.txt");
        for (const char* key : {"IntelligenceLanguage=1", "TranslationLanguage=1", "TypingLanguage=1"})
            QVERIFY(saved.contains(key));
    }
};

QTEST_GUILESS_MAIN(TestRecognitionThread)
#include "tst_recognitionthread.moc"
