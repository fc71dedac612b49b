#include "app/ConfigStore.h"
#include "tests/speech/ScriptedSpeechService.h"
#include "tests/support/MessageLog.h"
#include "tests/support/TestDir.h"
#include "voice/IatThread.h"
#include "voice/RecordingReady.h"

#include <QFile>
#include <QSignalSpy>
#include <QtTest>
#include <memory>

using Write = ScriptedSpeechService::Write;
using Reply = ScriptedSpeechService::Reply;
Q_DECLARE_METATYPE(QList<Write>)
Q_DECLARE_METATYPE(QList<Reply>)

namespace {
QByteArray audioBytes(int size) {
    QByteArray bytes(size, '\0');
    for (int i = 0; i < size; ++i)
        bytes[i] = char(i * 7 + i / 251);
    return bytes;
}
const QString kEmpty;
} // namespace

class TestIatThread : public QObject {
    Q_OBJECT
private:
    std::unique_ptr<TestDir> m_dir;
    std::unique_ptr<MessageLog> m_log;
    ScriptedSpeechService* m_fake = nullptr;

    // A thread over a fresh fake, constructed in the current test folder.
    std::unique_ptr<IatThread> makeThread(const std::function<void(ScriptedSpeechService&)>& script = {}) {
        auto fake = std::make_unique<ScriptedSpeechService>();
        if (script)
            script(*fake);
        m_fake = fake.get();
        return std::make_unique<IatThread>(std::move(fake));
    }
    void raiseFlag() {
        ConfigStore::instance()["IsRecording"] = 1;
        ConfigStore::instance().save();
    }
    // Runs one pass over a recording of the given size (none if negative); returns the emitted texts.
    QStringList recognise(IatThread& thread, int bytes = 100) {
        if (bytes >= 0)
            m_dir->write("record.wav", audioBytes(bytes));
        raiseFlag();
        QSignalSpy spy(&thread, &IatThread::writeText);
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

    void constructionLogsInAndUploadsTheWordsUnchanged() {
        const QByteArray words("Zorvel\r\n\xe8\xaf\xad\xe9\x9f\xb3\r\n\0tail", 19);
        m_dir->write("userwords.txt", words);
        auto thread = makeThread();
        QCOMPARE(m_fake->callList(), (QList<QByteArray>{"login", "upload"}));
        QCOMPARE(m_fake->loginParams, QByteArray("appid = 7d2a9f13, work_dir = ."));
        QCOMPARE(m_fake->uploadName, QByteArray("userwords"));
        QCOMPARE(m_fake->uploaded, words);
        QCOMPARE(m_fake->uploadParams, QByteArray("sub = uup, dtt = userword"));
        QCOMPARE(thread->uploadResult(), 0);
        QVERIFY(m_log->warnings().isEmpty());
    }

    void constructionFailures_data() {
        QTest::addColumn<int>("loginResult");
        QTest::addColumn<int>("uploadError");
        QTest::addColumn<bool>("wordsPresent");
        QTest::addColumn<QStringList>("warnings");
        QTest::addColumn<int>("uploadResult");
        const QString login = "SpeechLogin failed !", upload = "Voice Transcribe , SpeechUploadData failed !",
                      words = "UploadUserwords failed !";
        QTest::newRow("login fails") << 10407 << 0 << true << QStringList{login} << 0;
        QTest::newRow("upload fails") << 0 << 10102 << true << QStringList{upload, words} << 10102;
        QTest::newRow("no word file")
            << 0 << 0 << false << QStringList{"Voice Transcribe , open userwords file failed !", words} << -1;
        QTest::newRow("both fail") << 1 << 2 << true << QStringList{login, upload, words} << 2;
    }
    void constructionFailures() {
        QFETCH(int, loginResult);
        QFETCH(int, uploadError);
        QFETCH(bool, wordsPresent);
        QFETCH(QStringList, warnings);
        QFETCH(int, uploadResult);
        if (!wordsPresent)
            QFile::remove(m_dir->file("userwords.txt"));
        auto thread = makeThread([&](ScriptedSpeechService& f) {
            f.loginResult = loginResult;
            f.uploadError = uploadError;
        });
        QCOMPARE(m_log->warnings(), warnings);
        QCOMPARE(thread->uploadResult(), uploadResult);
        // Recognition is still attempted after a failed start.
        m_fake->replies = {Reply{"ok", 5, 0}};
        QCOMPARE(recognise(*thread, 100), QStringList{"ok"});
    }

    void chunking_data() {
        QTest::addColumn<int>("fileSize");
        QTest::addColumn<int>("endpointAfter");
        QTest::addColumn<QList<Write>>("writes");
        QTest::newRow("10000 bytes: one chunk") << 10000 << -1 << QList<Write>{{10000, 1}, {0, 4}};
        QTest::newRow("20000 bytes") << 20000 << -1 << QList<Write>{{6400, 1}, {6400, 2}, {7200, 2}, {0, 4}};
        QTest::newRow("12799: tail rule from the start") << 12799 << -1 << QList<Write>{{12799, 1}, {0, 4}};
        QTest::newRow("12800: two full chunks") << 12800 << -1 << QList<Write>{{6400, 1}, {6400, 2}, {0, 4}};
        QTest::newRow("empty file") << 0 << -1 << QList<Write>{{0, 4}};
        QTest::newRow("endpoint after the second chunk")
            << 40000 << 1 << QList<Write>{{6400, 1}, {6400, 2}, {0, 4}};
    }
    void chunking() {
        QFETCH(int, fileSize);
        QFETCH(int, endpointAfter);
        QFETCH(QList<Write>, writes);
        auto thread = makeThread([&](ScriptedSpeechService& f) {
            f.endpointAfterWrite = endpointAfter;
            f.replies = {Reply{"text", 5, 0}};
        });
        const QByteArray audio = audioBytes(fileSize);
        m_dir->write("record.wav", audio);
        QCOMPARE(recognise(*thread, -1), QStringList{"text"});
        QCOMPARE(m_fake->writes, writes);
        int sent = 0;
        for (const Write& w : writes)
            sent += w.length;
        QCOMPARE(m_fake->audio, audio.left(sent)); // the whole file, header included, in order
        QCOMPARE(m_fake->beginParams, QByteArray(IatThread::sessionRows[0]));
        QCOMPARE(m_fake->endedSessions, QList<SpeechService::Session>{7});
        QVERIFY(m_log->warnings().isEmpty());
        checkCleanedUp();
    }

    void fragments_data() {
        QTest::addColumn<QList<int>>("writeRecognition");
        QTest::addColumn<QList<Reply>>("replies");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("warning");
        const QByteArray a4000(4000, 'a'), b95(95, 'b'), b96(96, 'b');
        const QString full = "Voice Transcribe , no enough buffer for rec_result !",
                      fetch = "Voice Transcribe , SpeechGetResult failed !";
        using R = QList<Reply>;
        QTest::newRow("fragments joined in order")
            << QList<int>{} << R{{"go ", 0, 0}, {"forward", 0, 0}, {QByteArray(), 5, 0}} << "go forward"
            << kEmpty;
        QTest::newRow("partial fragments while sending")
            << QList<int>{0, 2, 0} << R{{"one ", 2, 0}, {"two ", 2, 0}, {"three", 5, 0}} << "one two three"
            << kEmpty;
        QTest::newRow("no fragment at all") << QList<int>{} << R{} << kEmpty << kEmpty;
        QTest::newRow("utf-8 decoded")
            << QList<int>{} << R{{"\xe6\x89\x93\xe5\xbc\x80", 5, 0}} << QString::fromUtf8("打开") << kEmpty;
        QTest::newRow("4095 bytes accepted")
            << QList<int>{} << R{{a4000, 0, 0}, {b95, 5, 0}} << QString::fromLatin1(a4000 + b95) << kEmpty;
        QTest::newRow("4096 bytes refused")
            << QList<int>{} << R{{a4000, 0, 0}, {b96, 5, 0}} << kEmpty << full;
        QTest::newRow("4096 bytes while sending refused")
            << QList<int>{0} << R{{a4000 + b96, 0, 0}} << kEmpty << full;
        QTest::newRow("fetch error while sending") << QList<int>{0} << R{{"x", 0, 10114}} << kEmpty << fetch;
        QTest::newRow("fetch error after closing")
            << QList<int>{} << R{{"x", 0, 0}, {"y", 0, 10114}} << kEmpty << fetch;
    }
    void fragments() {
        QFETCH(QList<int>, writeRecognition);
        QFETCH(QList<Reply>, replies);
        QFETCH(QString, text);
        QFETCH(QString, warning);
        auto thread = makeThread([&](ScriptedSpeechService& f) {
            f.writeRecognition = writeRecognition;
            f.replies = replies;
        });
        QCOMPARE(recognise(*thread, 20000), QStringList{text});
        QCOMPARE(m_log->warnings(), warning.isEmpty() ? QStringList() : QStringList{warning});
        QCOMPARE(m_fake->endedSessions, QList<SpeechService::Session>{7});
        QVERIFY(thread->resultText().isEmpty());
        checkCleanedUp();
    }

    void failedCalls_data() {
        QTest::addColumn<int>("beginError");
        QTest::addColumn<int>("failWriteAt");
        QTest::addColumn<QString>("warning");
        QTest::addColumn<int>("writes");
        QTest::addColumn<SpeechService::Session>("endedSession");
        QTest::newRow("session begin") << 10107 << -1 << "Voice Transcribe , SpeechSessionBegin failed !" << 0
                                       << SpeechService::NoSession;
        QTest::newRow("first chunk") << 0 << 0 << "Voice Transcribe , SpeechAudioWrite failed !" << 1 << 7;
        QTest::newRow("closing write") << 0 << 3 << "Voice Transcribe , SpeechAudioWrite failed !" << 4 << 7;
    }
    void failedCalls() {
        QFETCH(int, beginError);
        QFETCH(int, failWriteAt);
        QFETCH(QString, warning);
        QFETCH(int, writes);
        QFETCH(SpeechService::Session, endedSession);
        auto thread = makeThread([&](ScriptedSpeechService& f) {
            f.beginError = beginError;
            f.failWriteAt = failWriteAt;
            f.replies = {Reply{"lost", 5, 0}};
        });
        QCOMPARE(recognise(*thread, 20000), QStringList{QString()});
        QCOMPARE(m_log->warnings(), QStringList{warning});
        QCOMPARE(m_fake->writes.size(), writes);
        QCOMPARE(m_fake->endedSessions, QList<SpeechService::Session>{endedSession});
        checkCleanedUp();

        // The next recording is recognised normally.
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
        QSignalSpy spy(thread.get(), &IatThread::writeText);
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
        QSignalSpy spy(thread.get(), &IatThread::writeText);
        thread->start();
        QTRY_COMPARE(spy.count(), 1);
        QCOMPARE(spy.at(0).at(0).toString(), QString("left over"));
        QCOMPARE(m_fake->beginParams, QByteArray(IatThread::sessionRows[1]));
        thread->stop();
        QVERIFY(thread->wait(5000));
        checkCleanedUp();
    }

    void folderWithChineseCharacters() {
        m_dir.reset(); // the old folder's destructor would restore the directory it replaced
        m_dir = std::make_unique<TestDir>(QString::fromUtf8("语音鼠标 测试"));
        QVERIFY(QDir::currentPath().contains(QString::fromUtf8("语音鼠标")));
        m_log->clear();
        m_dir->write("userwords.txt", "Zorvel\n");
        const QByteArray audio = audioBytes(9000);
        m_dir->write("record.wav", audio);
        auto thread = makeThread([](ScriptedSpeechService& f) { f.replies = {Reply{"hello", 5, 0}}; });
        QCOMPARE(m_fake->uploaded, QByteArray("Zorvel\n"));
        QCOMPARE(thread->uploadResult(), 0);
        QCOMPARE(recognise(*thread, -1), QStringList{"hello"});
        QCOMPARE(m_fake->audio, audio);
        QVERIFY(m_log->warnings().isEmpty());
        checkCleanedUp();
    }

    void sessionRow_data() {
        QTest::addColumn<QByteArray>("config");
        QTest::addColumn<QByteArray>("previous"); // config of an earlier pass, if any
        QTest::addColumn<int>("row");
        const auto row = [](const char* name, const char* config, const char* previous, int row) {
            QTest::newRow(name) << QByteArray(config) << QByteArray(previous) << row;
        };
        row("no mode: Mandarin", "", nullptr, 0);
        row("typing 4", "TypingModel=1\nTypingLanguage=4\n", nullptr, 4);
        row("intelligent 3", "IntelligenceModel=1\nIntelligenceLanguage=3\n", nullptr, 3);
        row("translation 2", "TranslationModel=1\nTranslationLanguage=2\n", nullptr, 2);
        row("translation 3 keeps the previous row", "TranslationModel=1\nTranslationLanguage=3\n",
            "TypingModel=1\nTypingLanguage=4\n", 4);
        row("typing -1 keeps the previous row", "TypingModel=1\nTypingLanguage=-1\n",
            "IntelligenceModel=1\nIntelligenceLanguage=2\n", 2);
        row("typing 5 at first pass: Mandarin", "TypingModel=1\nTypingLanguage=5\n", nullptr, 0);
        row("later mode flag wins",
            "TypingModel=1\nTypingLanguage=3\nTranslationModel=1\nTranslationLanguage=1\n", nullptr, 1);
        row("intelligent overrides typing",
            "TypingModel=1\nTypingLanguage=1\nIntelligenceModel=1\nIntelligenceLanguage=2\n", nullptr, 2);
        row("mode flag 2 is not on", "TypingModel=2\nTypingLanguage=1\n", nullptr, 0);
        row("no mode later keeps the previous row", "TypingModel=0\n", "TypingModel=1\nTypingLanguage=3\n",
            3);
    }
    void sessionRow() {
        QFETCH(QByteArray, config);
        QFETCH(QByteArray, previous);
        QFETCH(int, row);
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
        QCOMPARE(m_fake->beginParams, QByteArray(IatThread::sessionRows[row]));
        QCOMPARE(thread->sessionParams(), QByteArray(IatThread::sessionRows[row]));
    }

    void sessionRowIsTheServiceString() {
        QCOMPARE(QByteArray(IatThread::sessionRows[3]),
                 QByteArray("sub = iat, domain = iat, language = zh_cn, accent = lmz, sample_rate = 16000, "
                            "result_type = plain, result_encoding = utf-8"));
    }

    void wakeUpHandsTheRecordingOverAtOnce() {
        auto thread = makeThread([](ScriptedSpeechService& f) {
            f.replies = {Reply{"first", 5, 0}, Reply{"second", 5, 0}};
        });
        QSignalSpy spy(thread.get(), &IatThread::writeText);
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

    void stopEndsTheIdleLoop() {
        auto thread = makeThread();
        thread->start();
        QTest::qWait(30);
        thread->stop();
        QVERIFY(thread->wait(5000));
        QVERIFY(!thread->isRunning());
    }

    void destroyingTheThreadWaitsForTheSession() {
        int logouts = 0;
        auto thread = makeThread([&](ScriptedSpeechService& f) {
            f.logoutSink = &logouts;
            f.writeDelayMs = 150;
            f.replies = {Reply{"done", 5, 0}};
        });
        QSignalSpy spy(thread.get(), &IatThread::writeText);
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

Q_DECLARE_METATYPE(SpeechService::Session)
QTEST_GUILESS_MAIN(TestIatThread)
#include "tst_iatthread.moc"
