#include "app/ConfigStore.h"
#include "app/NoticeBox.h"
#include "platform/fake/FakeFocusTyping.h"
#include "platform/fake/FakeForegroundWindow.h"
#include "result/ResultDispatcher.h"
#include "tests/support/Rows.h"
#include "tests/support/TestDir.h"

#include <QtTest>

static QByteArray hex(const char* spaced) {
    return QByteArray::fromHex(QByteArray(spaced).replace(' ', ""));
}

// One recognised text handed to the dispatcher: text, modes on (typing, intelligent, translation),
// RemovePunctuation, ClosePrompt; then what happened in order, the bytes typed, the notice shown
// (empty: none) and the modes after.
using Write = Rows<QString, QList<int>, int, int, QStringList, QByteArray, QString, QList<int>>;
using Trim = Rows<QString, QString, QString>; // text, start value, result
// Foreground window, focused control (0: none), the control takes Unicode, text handed over, bytes
// and UTF-16 units posted.
using Post = Rows<int, int, bool, QString, QByteArray, QString>;

class TestResultDispatcher : public QObject {
    Q_OBJECT

    std::unique_ptr<TestDir> m_dir;
    std::unique_ptr<ResultDispatcher> m_dispatcher;
    FakeFocusTyping* m_typing = nullptr;
    QStringList m_events; // reloads, interpretations and activityReported lines in the order they happened

    void setModes(const QList<int>& modes) {
        ConfigStore& store = ConfigStore::instance();
        store["TypingModel"] = modes[0];
        store["IntelligenceModel"] = modes[1];
        store["TranslationModel"] = modes[2];
    }

private slots:
    void init() {
        m_dir = std::make_unique<TestDir>();
        // Translation requests of these tests go to a closed local port and fail at once.
        m_dir->write("services.ini", "[translation]\nhost=127.0.0.1:9\n");
        TestDir::reloadSettings();
        auto typing = std::make_unique<FakeFocusTyping>();
        m_typing = typing.get();
        m_dispatcher = std::make_unique<ResultDispatcher>(nullptr, std::move(typing),
                                                          std::make_unique<FakeForegroundWindow>());
        m_events.clear();
        m_dispatcher->setReloader([this] { m_events << "reload"; });
        m_dispatcher->setInterpreter([this](const QString&) {
            m_events << "interpret";
            return CommandAction::none();
        });
        connect(m_dispatcher.get(), &ResultDispatcher::activityReported, this,
                [this](const QString& line) { m_events << line; });
    }
    void cleanup() {
        m_dispatcher.reset();
        m_dir.reset();
    }

    void write_data() {
        const Write table;
        const QList<int> typing{1, 0, 0}, translation{0, 0, 1};
        const auto row = [&](const char* name, const QString& text, const QList<int>& modes,
                             int removePunctuation, int closePrompt, const QStringList& events,
                             const QByteArray& typed, const QString& notice = {},
                             const QList<int>& after = {}) {
            table(name, text, modes, removePunctuation, closePrompt, events, typed, notice,
                  after.isEmpty() ? modes : after);
        };
        const QStringList reload{"reload"};
        // A mode switch changes the modes for this run only, and nothing else happens.
        row("to typing from translation, not translated", "切换到打字模式", translation, 1, 0, reload, "",
            "你已切换到打字模式！", typing);
        row("all three: translation stands", "切换到智能模式切换到翻译模式切换到打字模式", typing, 1, 0,
            reload, "", "你已切换到翻译模式！", translation);
        // Nothing heard: a notice for the first mode on.
        row("empty, translation", "", translation, 1, 0, reload, "", "请你说大点声！");
        row("empty, intelligent and translation: intelligent ends it", "", {0, 1, 1}, 1, 0, reload, "",
            "请重试！！！");
        // Each mode on handles the text, in this order; the log line carries the untrimmed text.
        const QString t = "打字模式：好。", i = "智能模式：好。", r = "翻译模式：好。中文---->中文";
        row("all three", "好。", {1, 1, 1}, 1, 0, {"reload", t, i, "interpret", r}, hex("BA C3"));
        // Typed as GBK, trimmed at the last sentence mark when RemovePunctuation is 1.
        row("你好。 whole keeps the mark", "你好。", typing, 0, 0, {"reload", "打字模式：你好。"},
            hex("C4 E3 BA C3 A1 A3"));
    }
    void write() {
        const auto [text, modes, removePunctuation, closePrompt, events, typed, notice, after] =
            Write::fetch();
        setModes(modes);
        ConfigStore::instance()["RemovePunctuation"] = removePunctuation;
        ConfigStore::instance()["ClosePrompt"] = closePrompt;
        QVERIFY(ConfigStore::instance().save());
        const QByteArray saved = m_dir->read("config.txt");

        m_dispatcher->write(text);

        QCOMPARE(m_events, events);
        QCOMPARE(m_typing->posted.toHex(' '), typed.toHex(' '));
        if (!typed.isEmpty())
            QCOMPARE(m_typing->lastControl, m_typing->focus);
        QCOMPARE(m_dispatcher->pendingTranslations(), events.filter("翻译模式").size());
        QCOMPARE(m_dispatcher->noticeBox()->isVisible(), !notice.isEmpty());
        QCOMPARE(m_dispatcher->noticeBox()->text(), notice);
        ConfigStore& store = ConfigStore::instance();
        QCOMPARE((QList<int>{store["TypingModel"], store["IntelligenceModel"], store["TranslationModel"]}),
                 after);
        QCOMPARE(m_dir->read("config.txt"), saved); // a mode switch is not saved
    }

    // A take that gave no text for a reason other than silence names that reason, not "speak up".
    void recognitionFailure_data() {
        const Rows<bool, int, QString> row; // language refused, ClosePrompt, notice
        row("language refused", true, 0,
            "离线识别只支持英语：请切换到英语，或在 services.ini 中配置语音服务器");
        row("service unavailable", false, 0, "语音服务暂时不可用");
    }
    void recognitionFailure() {
        const auto [languageRefused, closePrompt, notice] = Rows<bool, int, QString>::fetch();
        ConfigStore::instance()["ClosePrompt"] = closePrompt;
        m_dispatcher->showRecognitionFailure(languageRefused);
        QCOMPARE(m_dispatcher->noticeBox()->isVisible(), !notice.isEmpty());
        QCOMPARE(m_dispatcher->noticeBox()->text(), notice);
    }

    void modeSwitchNoticeLastsASecond() {
        setModes({1, 0, 0});
        m_dispatcher->write("切换到智能模式");
        QTest::qWait(700); // a 500 ms notice would be gone by now
        QVERIFY(m_dispatcher->noticeBox()->isVisible());
        QTRY_VERIFY_WITH_TIMEOUT(!m_dispatcher->noticeBox()->isVisible(), 5000);
    }

    void trimming_data() {
        const Trim row;
        row("question mark overrides full stop", "第一句。第二句？", "", "第一句。第二句");
        row("ascii stop overrides question mark", "好吗？ok.yes", "", "好吗？ok");
        row("no mark gives the start value", "你好", "你好", "你好");
        row("exclamation is not a mark", "你好！", "", "");
        row("mark at the start", "。你好", "你好", "");
    }
    void trimming() {
        const auto [text, start, result] = Trim::fetch();
        QCOMPARE(ResultDispatcher::trimSentenceMarks(text, start), result);
    }

    void postTextToFocus_data() {
        const Post row;
        const QString any = QStringLiteral("naïve Straße 👍 שלום\t你好\n");
        row("no foreground window", 0, 2, true, "abc", "", "");
        row("no focused control", 1, 0, true, "abc", "", "");
        row("ANSI control: GB2312 bytes up to the first NUL", 1, 2, false, QString::fromUtf8("a你\0b", 6),
            hex("61 C4 E3"), "");
        row("Unicode control: every character", 1, 2, true, any, "", any);
    }
    void postTextToFocus() {
        const auto [foreground, focus, unicode, text, bytes, units] = Post::fetch();
        m_typing->foreground = FocusTyping::WindowId(foreground);
        m_typing->focus = FocusTyping::WindowId(focus);
        m_typing->unicode = unicode;
        m_dispatcher->postTextToFocus(text);
        QCOMPARE(m_typing->posted.toHex(' '), bytes.toHex(' '));
        QCOMPARE(m_typing->postedUnicode, units);
    }
};

QTEST_MAIN(TestResultDispatcher)
#include "tst_resultdispatcher.moc"
