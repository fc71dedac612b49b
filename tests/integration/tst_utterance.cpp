#include "app/ConfigStore.h"
#include "app/NoticeBox.h"
#include "platform/fake/FakeFocusTyping.h"
#include "platform/fake/FakeForegroundWindow.h"
#include "result/ResultDispatcher.h"
#include "tests/speech/ScriptedSpeechService.h"
#include "tests/speech/WavFile.h"
#include "tests/support/Rows.h"
#include "tests/support/TestDir.h"
#include "tests/support/UrlCatcher.h"
#include "voice/RecognitionThread.h"

#include <QTextCodec>
#include <QtTest>

namespace {
QByteArray gbk(const QString& text) {
    return QTextCodec::codecForName("GBK")->fromUnicode(text);
}
const QString kBrowser = QStringLiteral("MozillaWindowClass");
} // namespace

class TestUtterance : public QObject {
    Q_OBJECT

    std::unique_ptr<TestDir> m_dir;
    std::unique_ptr<ResultDispatcher> m_dispatcher;
    FakeFocusTyping* m_typing = nullptr;

    // Loads "config.txt" as a previous run left it and builds the dispatcher as start-up does.
    void start(const QString& config, const QString& windowClass = kBrowser) {
        m_dir->write("config.txt", config.toLatin1());
        ConfigStore::instance().reload();
        auto typing = std::make_unique<FakeFocusTyping>();
        auto window = std::make_unique<FakeForegroundWindow>();
        m_typing = typing.get();
        if (!windowClass.isEmpty()) // empty: no window in front
            window->windowClass = windowClass;
        m_dispatcher = std::make_unique<ResultDispatcher>(nullptr, std::move(typing), std::move(window));
    }

private slots:
    // The shipped vocabulary as the build stages it beside the executable on this platform.
    void init() {
        m_dir = std::make_unique<TestDir>(QStringLiteral("语音鼠标"));
        for (const QString& folder : {TestDir::dataDir(), TestDir::dataDir() + "/linux"}) {
            for (const QFileInfo& file : QDir(folder).entryInfoList({"*.txt"}, QDir::Files)) {
                QFile::remove(m_dir->file(file.fileName()));
                QVERIFY(QFile::copy(file.filePath(), m_dir->file(file.fileName())));
            }
        }
    }
    void cleanup() {
        m_dispatcher.reset();
        m_dir.reset();
    }

    // Recognition → queued textRecognised → dispatcher → typing, as start-up connects them.
    void recordingIsTypedInTypingMode() {
        start("TypingModel=1\nIntelligenceModel=0\nRemovePunctuation=1\n");
        auto engine = std::make_unique<ScriptedSpeechService>();
        engine->replies = {{QString("你好世界。").toUtf8(), ScriptedSpeechService::ResultComplete, 0}};
        RecognitionThread thread(std::move(engine));
        QObject::connect(&thread, &RecognitionThread::textRecognised, m_dispatcher.get(),
                         &ResultDispatcher::write);
        thread.start();

        const QByteArray samples(32000, '\0');
        m_dir->write("record.wav", WavFile::make(samples)); // the capture's copy of the take
        const TakeQueue::TakePtr take = thread.takes().begin();
        thread.takes().append(take, samples);
        thread.takes().close(take);

        QTRY_COMPARE_WITH_TIMEOUT(m_typing->posted, gbk("你好世界"), 10000);
        QTRY_VERIFY(!QFile::exists(m_dir->file("record.wav")));
        thread.stop();
        QVERIFY(thread.wait(10000));
    }

    // Intelligent mode with the real interpreter over the shipped files and a user command word;
    // in an editor window the utterance is typed instead.
    void commandsOpenTheirPages_data() {
        // Utterance, ClosePrompt, window class; then the URL opened, the notice and the bytes typed.
        const Rows<QString, int, QString, QString, QString, QByteArray> row;
        const QString blog = "https://blog.example.org/";
        row("command word", "打开我的博客。", 0, kBrowser, blog, "打开我的博客", "");
        row("web search fallback", "量子计算是什么。", 0, kBrowser,
            "https://www.baidu.com/s?wd=量子计算是什么", "量子计算是什么", "");
        row("editor window gets the text", "打开我的博客。", 0, "Notepad", "", "", gbk("打开我的博客"));
        row("editor classes match case and all", "打开我的博客。", 0, "notepad", blog, "打开我的博客", "");
        row("no window in front", "打开我的博客。", 1, "", blog, "", "");
    }
    void commandsOpenTheirPages() {
        const auto [utterance, closePrompt, windowClass, url, notice, typed] =
            Rows<QString, int, QString, QString, QString, QByteArray>::fetch();
        m_dir->write("commandwords.txt", gbk("我的博客,https://blog.example.org/\r\n"));
        start(QString("IntelligenceModel=1\nRemovePunctuation=1\nClosePrompt=%1\n").arg(closePrompt),
              windowClass);
        UrlCatcher catcher;

        m_dispatcher->write(utterance);

        QCOMPARE(catcher.urls, url.isEmpty() ? QList<QUrl>() : QList<QUrl>{QUrl(url, QUrl::TolerantMode)});
        QCOMPARE(m_dispatcher->noticeBox()->isVisible(), !notice.isEmpty());
        if (!notice.isEmpty())
            QCOMPARE(m_dispatcher->noticeBox()->text(), notice);
        QCOMPARE(m_typing->posted, typed);
    }

    // A command word added while the program runs counts from the next utterance on.
    void userFilesAreReadBeforeEveryUtterance() {
        start("IntelligenceModel=1\n");
        UrlCatcher catcher;
        m_dispatcher->write(QStringLiteral("打开我的博客。"));
        QCOMPARE(catcher.urls.size(), 1);
        QVERIFY(catcher.urls.first().toString().contains("wd="));
        m_dir->write("commandwords.txt", gbk("我的博客,https://blog.example.org/\r\n"));
        m_dispatcher->write(QStringLiteral("打开我的博客。"));
        QCOMPARE(catcher.urls.size(), 2);
        QCOMPARE(catcher.urls.at(1), QUrl("https://blog.example.org/"));
    }
};

QTEST_MAIN(TestUtterance)
#include "tst_utterance.moc"
