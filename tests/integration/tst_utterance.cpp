#include "app/ConfigStore.h"
#include "app/NoticeBox.h"
#include "platform/fake/FakeFocusTyping.h"
#include "platform/fake/FakeForegroundWindow.h"
#include "result/ResultDispatcher.h"
#include "tests/speech/ScriptedSpeechService.h"
#include "tests/support/TestDir.h"
#include "tests/support/UrlCatcher.h"
#include "voice/RecognitionThread.h"

#include <QDirIterator>
#include <QSignalSpy>
#include <QTextCodec>
#include <QtTest>

namespace {

QByteArray gbk(const QString& text) {
    return QTextCodec::codecForName("GBK")->fromUnicode(text);
}

// A 16 kHz mono 16-bit WAV of the given number of silent samples.
QByteArray wav(int samples) {
    QByteArray data(samples * 2, '\0');
    QByteArray out("RIFF");
    auto le32 = [](quint32 v) { return QByteArray(reinterpret_cast<const char*>(&v), 4); };
    auto le16 = [](quint16 v) { return QByteArray(reinterpret_cast<const char*>(&v), 2); };
    out += le32(36 + data.size()) + "WAVEfmt " + le32(16) + le16(1) + le16(1) + le32(16000) + le32(32000) +
           le16(2) + le16(16) + "data" + le32(data.size()) + data;
    return out;
}

// The shipped vocabulary as the build stages it beside the executable on this platform.
void stageShippedData(const TestDir& dir) {
    for (const QString& folder : {TestDir::dataDir(), TestDir::dataDir() + "/linux"}) {
        QDirIterator it(folder, {"*.txt"}, QDir::Files);
        while (it.hasNext()) {
            it.next();
            QFile::remove(dir.file(it.fileName()));
            QFile::copy(it.filePath(), dir.file(it.fileName()));
        }
    }
}

} // namespace

class TestUtterance : public QObject {
    Q_OBJECT

    std::unique_ptr<TestDir> m_dir;
    std::unique_ptr<ResultDispatcher> m_dispatcher;
    FakeFocusTyping* m_typing = nullptr;
    FakeForegroundWindow* m_window = nullptr;

    void makeDispatcher() {
        auto typing = std::make_unique<FakeFocusTyping>();
        auto window = std::make_unique<FakeForegroundWindow>();
        m_typing = typing.get();
        m_window = window.get();
        m_window->windowClass = QStringLiteral("MozillaWindowClass");
        m_dispatcher = std::make_unique<ResultDispatcher>(nullptr, std::move(typing), std::move(window));
    }

private slots:
    void init() {
        m_dir = std::make_unique<TestDir>(QStringLiteral("语音鼠标"));
        stageShippedData(*m_dir);
    }
    void cleanup() {
        m_dispatcher.reset();
        m_dir.reset();
    }

    // Recognition → queued textRecognised → dispatcher → typing, as start-up connects them.
    void recordingIsTypedInTypingMode_data() {
        QTest::addColumn<int>("removePunctuation");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("typed");
        QTest::newRow("sentence mark removed") << 1 << "你好世界。" << gbk("你好世界");
        QTest::newRow("whole text") << 0 << "你好世界。" << gbk("你好世界。");
    }
    void recordingIsTypedInTypingMode() {
        QFETCH(int, removePunctuation);
        QFETCH(QString, text);
        QFETCH(QByteArray, typed);
        m_dir->write("config.txt",
                     QStringLiteral("TypingModel=1\nIntelligenceModel=0\nRemovePunctuation=%1\n")
                         .arg(removePunctuation)
                         .toLatin1());
        ConfigStore::instance().reload();
        makeDispatcher();

        auto engine = std::make_unique<ScriptedSpeechService>();
        engine->replies = {{text.toUtf8(), ScriptedSpeechService::ResultComplete, 0}};
        RecognitionThread thread(std::move(engine));
        QObject::connect(&thread, &RecognitionThread::textRecognised, m_dispatcher.get(),
                         &ResultDispatcher::write);
        QSignalSpy logged(m_dispatcher.get(), &ResultDispatcher::activityReported);
        thread.start();

        m_dir->write("record.wav", wav(16000)); // the capture's copy of the take
        TakeQueue& takes = thread.takes();
        const TakeQueue::TakePtr take = takes.begin();
        takes.append(take, wav(16000).mid(44));
        takes.close(take);

        QTRY_COMPARE_WITH_TIMEOUT(m_typing->posted, typed, 10000);
        QCOMPARE(logged.size(), 1);
        QCOMPARE(logged.at(0).at(0).toString(), QStringLiteral("打字模式：") + text);
        QTRY_VERIFY(!QFile::exists(m_dir->file("record.wav")));
        QVERIFY(m_dir->read("config.txt").contains("IsRecording=0"));
        thread.stop();
        QVERIFY(thread.wait(10000));
    }

    // Intelligent mode with the real interpreter over the shipped files and a user command word.
    void commandsOpenTheirPages_data() {
        QTest::addColumn<QString>("utterance");
        QTest::addColumn<int>("closePrompt");
        QTest::addColumn<QString>("url");    // empty: nothing opened
        QTest::addColumn<QString>("notice"); // empty: no notice
        QTest::newRow("command word") << "打开我的博客。" << 0 << "https://blog.example.org/"
                                      << "打开我的博客";
        QTest::newRow("command word, notices off") << "打开我的博客。" << 1 << "https://blog.example.org/"
                                                   << "";
        QTest::newRow("site search")
            << "在知乎搜索机器学习。" << 0
            << "https://www.zhihu.com/search?type=content&q=%E6%9C%BA%E5%99%A8%E5%AD%A6%E4%B9%A0"
            << "在知乎搜索机器学习";
        QTest::newRow("close") << "关闭窗口。" << 0 << ""
                               << "关闭窗口";
        QTest::newRow("nearby ends quietly") << "附近的银行。" << 0 << ""
                                             << "";
        QTest::newRow("web search fallback")
            << "量子计算是什么。" << 0 << "https://www.baidu.com/s?wd=量子计算是什么"
            << "量子计算是什么";
        QTest::newRow("no sentence mark") << "打开我的博客" << 0 << ""
                                          << "";
    }
    void commandsOpenTheirPages() {
        QFETCH(QString, utterance);
        QFETCH(int, closePrompt);
        QFETCH(QString, url);
        QFETCH(QString, notice);
        m_dir->write("commandwords.txt", gbk("我的博客,https://blog.example.org/\r\n"));
        m_dir->write("config.txt",
                     QStringLiteral("IntelligenceModel=1\nClosePrompt=%1\n").arg(closePrompt).toLatin1());
        ConfigStore::instance().reload();
        makeDispatcher();
        UrlCatcher catcher;

        m_dispatcher->write(utterance);

        if (url.isEmpty()) {
            QVERIFY(catcher.urls.isEmpty());
        } else {
            QCOMPARE(catcher.urls.size(), 1);
            QCOMPARE(catcher.urls.first(), QUrl(url, QUrl::TolerantMode));
        }
        QCOMPARE(m_dispatcher->noticeBox()->isVisible(), !notice.isEmpty());
        if (!notice.isEmpty())
            QCOMPARE(m_dispatcher->noticeBox()->text(), notice);
        QVERIFY(m_typing->posted.isEmpty());
    }

    // A command word added while the program runs counts from the next utterance on.
    void userFilesAreReadBeforeEveryUtterance() {
        m_dir->write("config.txt", "IntelligenceModel=1\n");
        ConfigStore::instance().reload();
        makeDispatcher();
        UrlCatcher catcher;
        m_dispatcher->write(QStringLiteral("打开我的博客。"));
        QCOMPARE(catcher.urls.size(), 1);
        QVERIFY(catcher.urls.first().toString().contains("wd="));
        m_dir->write("commandwords.txt", gbk("我的博客,https://blog.example.org/\r\n"));
        m_dispatcher->write(QStringLiteral("打开我的博客。"));
        QCOMPARE(catcher.urls.size(), 2);
        QCOMPARE(catcher.urls.at(1), QUrl("https://blog.example.org/"));
    }

    // In an editor window the utterance is typed, not interpreted.
    void editorWindowGetsTheText() {
        m_dir->write("config.txt", "IntelligenceModel=1\nRemovePunctuation=1\n");
        ConfigStore::instance().reload();
        makeDispatcher();
        m_window->windowClass = QStringLiteral("Notepad");
        UrlCatcher catcher;
        m_dispatcher->write(QStringLiteral("打开我的博客。"));
        QCOMPARE(m_typing->posted, gbk("打开我的博客"));
        QVERIFY(catcher.urls.isEmpty());
        QVERIFY(!m_dispatcher->noticeBox()->isVisible());
    }
};

QTEST_MAIN(TestUtterance)
#include "tst_utterance.moc"
