#include "app/ConfigStore.h"
#include "tests/speech/ScriptedSpeechService.h"
#include "tests/support/MessageLog.h"
#include "tests/support/Rows.h"
#include "tests/support/TestDir.h"
#include "voice/RecognitionThread.h"
#include "voice/RecordingReady.h"

#include <QFile>
#include <QSignalSpy>
#include <QtTest>
#include <memory>

using Write = ScriptedSpeechService::Write;
using Reply = ScriptedSpeechService::Reply;
Q_DECLARE_METATYPE(QList<Reply>)
Q_DECLARE_METATYPE(QList<Write>)
// Recording size, replies, text and warning; writes (checked when given), recognition status
// after each data write, data write after which speech ended, begin error, failing write.
using Pass = Rows<int, QList<Reply>, QString, QString, QList<Write>, QList<int>, int, int, int>;

namespace {
QByteArray audioBytes(int size) {
    QByteArray bytes(size, '\0');
    for (int i = 0; i < size; ++i)
        bytes[i] = char(i * 7 + i / 251);
    return bytes;
}
} // namespace

// The mode settings, those of an earlier pass (if any) and the session row chosen.
using SessionRow = Rows<QByteArray, QByteArray, int>;
using Construction =
    Rows<int, int, bool, QStringList, int>; // loginResult, uploadError, wordsPresent, warnings, uploadResult

class TestRecognitionThread : public QObject {
    Q_OBJECT
private:
    std::unique_ptr<TestDir> m_dir;
    std::unique_ptr<MessageLog> m_log;
    ScriptedSpeechService* m_fake = nullptr;

    // A thread over a fresh fake, constructed in the current test folder.
    std::unique_ptr<RecognitionThread>
    makeThread(const std::function<void(ScriptedSpeechService&)>& script = {}) {
        auto fake = std::make_unique<ScriptedSpeechService>();
        if (script)
            script(*fake);
        m_fake = fake.get();
        return std::make_unique<RecognitionThread>(std::move(fake));
    }
    void raiseFlag() {
        ConfigStore::instance()["IsRecording"] = 1;
        ConfigStore::instance().save();
    }
    // Runs one pass over a recording of the given size (none if negative); returns the emitted texts.
    QStringList recognise(RecognitionThread& thread, int bytes = 100) {
        if (bytes >= 0)
            m_dir->write("record.wav", audioBytes(bytes));
        raiseFlag();
        QSignalSpy spy(&thread, &RecognitionThread::textRecognised);
        thread.pass();
        QStringList texts;
        for (const auto& args : spy)
            texts << args.at(0).toString();
        return texts;
    }
    void checkCleanedUp() {
        QVERIFY(!QFile::exists(m_dir->file("record.wav")));
        QCOMPARE(int(ConfigStore::instance()["IsRecording"]), 0);
        QVERIFY(m_dir->read("config.txt").contains("IsRecording=0"));
    }

private slots:
    void init() {
        m_dir = std::make_unique<TestDir>();
        m_dir->write("userwords.txt", "Zorvel\nQt\n");
        m_log = std::make_unique<MessageLog>();
    }
    void cleanup() {
        m_log.reset();
        m_dir.reset();
        m_fake = nullptr;
    }

    // Log-in and upload of the words unchanged at construction; recognition is attempted even
    // after a failed start.
    void construction_data() {
        const Construction row;
        const QString words = "UploadUserwords failed !";
        row("all well", 0, 0, true, {}, 0);
        row("login fails", 10407, 0, true, {"SpeechLogin failed !"}, 0);
        row("upload fails", 0, 10102, true, {"Voice Transcribe , SpeechUploadData failed !", words}, 10102);
        row("no word file", 0, 0, false, {"Voice Transcribe , open userwords file failed !", words}, -1);
    }
    void construction() {
        const auto [loginResult, uploadError, wordsPresent, warnings, uploadResult] = Construction::fetch();
        const QByteArray words("Zorvel\r\n\xe8\xaf\xad\xe9\x9f\xb3\r\n\0tail", 19);
        m_dir->write("userwords.txt", words);
        if (!wordsPresent)
            QFile::remove(m_dir->file("userwords.txt"));
        // Structured bindings are captured through copies: C++17 lambdas cannot name them.
        auto thread =
            makeThread([loginResult = loginResult, uploadError = uploadError](ScriptedSpeechService& f) {
                f.loginResult = loginResult;
                f.uploadError = uploadError;
            });
        QCOMPARE(m_log->warnings(), warnings);
        QCOMPARE(thread->uploadResult(), uploadResult);
        QCOMPARE(m_fake->loginParams, QByteArray("appid = 7d2a9f13, work_dir = ."));
        if (wordsPresent) {
            QCOMPARE(m_fake->uploadName, QByteArray("userwords"));
            QCOMPARE(m_fake->uploaded, words);
            QCOMPARE(m_fake->uploadParams, QByteArray("sub = uup, dtt = userword"));
        }
        m_fake->replies = {Reply{"ok", 5, 0}};
        QCOMPARE(recognise(*thread, 100), QStringList{"ok"});
    }

    // One pass over a recording of the given size with a scripted engine; after it the next
    // recording goes through.
    void pass_data() {
        const Pass table;
        const auto row = [&](const char* name, int size, const QList<Reply>& replies, const QString& text,
                             const QString& warning = {}, const QList<Write>& writes = {},
                             const QList<int>& writeRecognition = {}, int endpointAfter = -1,
                             int beginError = 0, int failWriteAt = -1) {
            table(name, size, replies, text, warning, writes, writeRecognition, endpointAfter, beginError,
                  failWriteAt);
        };
        const QByteArray a4000(4000, 'a'), b95(95, 'b'), b96(96, 'b');
        const QString full = "Voice Transcribe , no enough buffer for rec_result !",
                      fetch = "Voice Transcribe , SpeechGetResult failed !",
                      write = "Voice Transcribe , SpeechAudioWrite failed !";
        const Reply text{"text", 5, 0};
        // Chunks: 6400 bytes, the last one takes the rest up to 12799.
        row("10000 bytes: one chunk", 10000, {text}, "text", {}, {{10000, 1}, {0, 4}});
        row("20000 bytes", 20000, {text}, "text", {}, {{6400, 1}, {6400, 2}, {7200, 2}, {0, 4}});
        row("12799: tail rule from the start", 12799, {text}, "text", {}, {{12799, 1}, {0, 4}});
        row("12800: two full chunks", 12800, {text}, "text", {}, {{6400, 1}, {6400, 2}, {0, 4}});
        row("empty file", 0, {text}, "text", {}, {{0, 4}});
        row("endpoint after the second chunk", 40000, {text}, "text", {}, {{6400, 1}, {6400, 2}, {0, 4}}, {},
            1);
        // Fragments of the result.
        row("fragments joined in order", 20000, {{"go ", 0, 0}, {"forward", 0, 0}, {{}, 5, 0}}, "go forward");
        row("partial fragments while sending", 20000, {{"one ", 2, 0}, {"two ", 2, 0}, {"three", 5, 0}},
            "one two three", {}, {}, {0, 2, 0});
        row("no fragment at all", 20000, {}, "");
        row("utf-8 decoded", 20000, {{"\xe6\x89\x93\xe5\xbc\x80", 5, 0}}, "打开");
        row("4095 bytes accepted", 20000, {{a4000, 0, 0}, {b95, 5, 0}}, QString::fromLatin1(a4000 + b95));
        row("4096 bytes refused", 20000, {{a4000, 0, 0}, {b96, 5, 0}}, "", full);
        row("4096 bytes while sending refused", 20000, {{a4000 + b96, 0, 0}}, "", full, {}, {0});
        row("fetch error while sending", 20000, {{"x", 0, 10114}}, "", fetch, {}, {0});
        row("fetch error after closing", 20000, {{"x", 0, 0}, {"y", 0, 10114}}, "", fetch);
        // Failed calls.
        row("session begin fails", 20000, {text}, "", "Voice Transcribe , SpeechSessionBegin failed !", {},
            {}, -1, 10107);
        row("first chunk fails", 20000, {text}, "", write, {{6400, 1}}, {}, -1, 0, 0);
        row("closing write fails", 20000, {text}, "", write, {{6400, 1}, {6400, 2}, {7200, 2}, {0, 4}}, {},
            -1, 0, 3);
    }
    void pass() {
        const auto [size, replies, text, warning, writes, writeRecognition, endpointAfter, beginError,
                    failWriteAt] = Pass::fetch();
        auto thread =
            makeThread([replies = replies, writeRecognition = writeRecognition, endpointAfter = endpointAfter,
                        beginError = beginError, failWriteAt = failWriteAt](ScriptedSpeechService& f) {
                f.replies = replies;
                f.writeRecognition = writeRecognition;
                f.endpointAfterWrite = endpointAfter;
                f.beginError = beginError;
                f.failWriteAt = failWriteAt;
            });
        QCOMPARE(recognise(*thread, size), QStringList{text});
        QCOMPARE(m_log->warnings(), warning.isEmpty() ? QStringList() : QStringList{warning});
        if (!writes.isEmpty()) {
            QCOMPARE(m_fake->writes, writes);
            int sent = 0;
            for (const Write& w : writes)
                sent += w.length;
            QCOMPARE(m_fake->audio, audioBytes(size).left(sent)); // the file, header included, in order
        }
        QCOMPARE(m_fake->beginParams, QByteArray(RecognitionThread::sessionRows[0]));
        QCOMPARE(m_fake->endedSessions,
                 QList<SpeechService::Session>{beginError ? SpeechService::NoSession : 7});
        QVERIFY(thread->resultText().isEmpty());
        checkCleanedUp();

        m_fake->beginError = 0;
        m_fake->failWriteAt = -1;
        m_fake->replies = {Reply{"next", 5, 0}};
        QCOMPARE(recognise(*thread, 1000), QStringList{"next"});
    }

    void missingRecording() {
        auto thread = makeThread();
        QCOMPARE(recognise(*thread, -1), QStringList{QString()});
        QCOMPARE(m_log->warnings(), QStringList{"Voice Transcribe , open audioFile failed !"});
        QVERIFY(!m_fake->callList().contains("begin"));
        QCOMPARE(m_fake->endedSessions, QList<SpeechService::Session>{SpeechService::NoSession});
        checkCleanedUp();
    }

    void noFlagNoSession() {
        auto thread = makeThread();
        m_dir->write("record.wav", audioBytes(1000));
        QSignalSpy spy(thread.get(), &RecognitionThread::textRecognised);
        QVERIFY(!thread->pass());
        QCOMPARE(spy.count(), 0);
        QVERIFY(QFile::exists(m_dir->file("record.wav")));
        QCOMPARE(m_fake->callList(), (QList<QByteArray>{"login", "upload"}));
    }

    void leftoverFlagAtStart() {
        // An interrupted run left the flag raised: the first pass recognises what is there.
        m_dir->write("config.txt", "IsRecording=1\nTypingModel=1\nTypingLanguage=1\n");
        m_dir->write("record.wav", audioBytes(3000));
        TestDir::reloadSettings();
        auto thread = makeThread([](ScriptedSpeechService& f) { f.replies = {Reply{"left over", 5, 0}}; });
        QSignalSpy spy(thread.get(), &RecognitionThread::textRecognised);
        thread->start();
        QTRY_COMPARE(spy.count(), 1);
        QCOMPARE(spy.at(0).at(0).toString(), QString("left over"));
        QCOMPARE(m_fake->beginParams, QByteArray(RecognitionThread::sessionRows[1]));
        thread->stop();
        QVERIFY(thread->wait(5000));
        checkCleanedUp();
    }

    void folderWithChineseCharacters() {
        m_dir.reset(); // the old folder's destructor would restore the directory it replaced
        m_dir = std::make_unique<TestDir>(QString::fromUtf8("语音鼠标 测试"));
        m_log->clear();
        m_dir->write("userwords.txt", "Zorvel\n");
        auto thread = makeThread([](ScriptedSpeechService& f) { f.replies = {Reply{"hello", 5, 0}}; });
        QCOMPARE(m_fake->uploaded, QByteArray("Zorvel\n"));
        QCOMPARE(recognise(*thread, 9000), QStringList{"hello"});
        QCOMPARE(m_fake->audio, audioBytes(9000));
        QVERIFY(m_log->warnings().isEmpty());
        checkCleanedUp();
    }

    void sessionRow_data() {
        const SessionRow row;
        row("no mode: Mandarin", "", {}, 0);
        row("translation 2", "TranslationModel=1\nTranslationLanguage=2\n", {}, 2);
        row("translation 3 keeps the previous row", "TranslationModel=1\nTranslationLanguage=3\n",
            "TypingModel=1\nTypingLanguage=4\n", 4);
        row("typing -1 keeps the previous row", "TypingModel=1\nTypingLanguage=-1\n",
            "IntelligenceModel=1\nIntelligenceLanguage=2\n", 2);
        row("typing 5 at first pass: Mandarin", "TypingModel=1\nTypingLanguage=5\n", {}, 0);
        row("later mode flag wins",
            "TypingModel=1\nTypingLanguage=3\nTranslationModel=1\nTranslationLanguage=1\n", {}, 1);
        row("intelligent overrides typing",
            "TypingModel=1\nTypingLanguage=1\nIntelligenceModel=1\nIntelligenceLanguage=2\n", {}, 2);
        row("mode flag 2 is not on", "TypingModel=2\nTypingLanguage=1\n", {}, 0);
        row("no mode later keeps the previous row", "TypingModel=0\n", "TypingModel=1\nTypingLanguage=3\n",
            3);
    }
    void sessionRow() {
        const auto [config, previous, row] = SessionRow::fetch();
        auto thread = makeThread();
        if (!previous.isNull()) {
            m_dir->write("config.txt", previous);
            TestDir::reloadSettings();
            thread->pass();
        }
        m_dir->write("config.txt", config + "IsRecording=1\n");
        m_dir->write("record.wav", audioBytes(100));
        TestDir::reloadSettings();
        QVERIFY(thread->pass());
        QCOMPARE(m_fake->beginParams, QByteArray(RecognitionThread::sessionRows[row]));
        QCOMPARE(thread->sessionParams(), QByteArray(RecognitionThread::sessionRows[row]));
    }

    void wakeUpHandsTheRecordingOverAtOnce() {
        auto thread = makeThread([](ScriptedSpeechService& f) {
            f.replies = {Reply{"first", 5, 0}, Reply{"second", 5, 0}};
        });
        QSignalSpy spy(thread.get(), &RecognitionThread::textRecognised);
        thread->start();
        for (int i = 0; i < 2; ++i) {
            QTest::qWait(50);
            m_dir->write("record.wav", audioBytes(500));
            raiseFlag();
            RecordingReady::notify();
            QTRY_COMPARE(spy.count(), i + 1);
        }
        QCOMPARE(spy.at(0).at(0).toString(), QString("first"));
        QCOMPARE(spy.at(1).at(0).toString(), QString("second"));
        // Without a wake-up the poll still finds the flag.
        m_dir->write("record.wav", audioBytes(500));
        raiseFlag();
        QTRY_COMPARE(spy.count(), 3);
        thread->stop();
        QVERIFY(thread->wait(5000));
    }

    void destroyingTheThreadWaitsForTheSession() {
        int logouts = 0;
        auto thread = makeThread([&](ScriptedSpeechService& f) {
            f.logoutSink = &logouts;
            f.writeDelayMs = 150;
            f.replies = {Reply{"done", 5, 0}};
        });
        QSignalSpy spy(thread.get(), &RecognitionThread::textRecognised);
        m_dir->write("record.wav", audioBytes(20000));
        raiseFlag();
        thread->start();
        QTRY_VERIFY(m_fake->callList().contains("write"));
        thread.reset(); // as at quit: stop, let the session under way finish, log out
        QCOMPARE(spy.count(), 1);
        QCOMPARE(spy.at(0).at(0).toString(), QString("done"));
        QCOMPARE(logouts, 1);
        checkCleanedUp();
    }
};

QTEST_GUILESS_MAIN(TestRecognitionThread)
#include "tst_recognitionthread.moc"
