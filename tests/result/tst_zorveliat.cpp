#include "app/ConfigStore.h"
#include "app/PromptBox.h"
#include "platform/fake/FakeFocusTyping.h"
#include "platform/fake/FakeForegroundWindow.h"
#include "result/ZorvelIat.h"
#include "tests/support/TestDir.h"
#include "tests/support/UrlCatcher.h"

#include <QSignalSpy>
#include <QtTest>

Q_DECLARE_METATYPE(CommandAction)
Q_DECLARE_METATYPE(FocusTyping::WindowId)

class TestZorvelIat : public QObject {
    Q_OBJECT

    std::unique_ptr<TestDir> m_dir;
    std::unique_ptr<ZorvelIat> m_iat;
    FakeFocusTyping* m_typing = nullptr;
    FakeForegroundWindow* m_window = nullptr;
    QStringList m_events; // reloads, interpretations and writeIat lines in the order they happened
    QStringList m_commands;
    CommandAction m_action;
    UrlCatcher m_catcher;

    void setModes(int typing, int intelligence, int translation) {
        ConfigStore& store = ConfigStore::instance();
        store["TypingModel"] = typing;
        store["IntelligenceModel"] = intelligence;
        store["TranslationModel"] = translation;
    }
    QList<int> modes() {
        ConfigStore& store = ConfigStore::instance();
        return {store["TypingModel"], store["IntelligenceModel"], store["TranslationModel"]};
    }
    static QByteArray hex(const char* spaced) {
        return QByteArray::fromHex(QByteArray(spaced).replace(' ', ""));
    }

private slots:
    void init() {
        m_dir = std::make_unique<TestDir>();
        // Translation requests of these tests go to a closed local port and fail at once.
        m_dir->write("services.ini", "[translation]\nhost=127.0.0.1:9\n");
        TestDir::reloadSettings();
        auto typing = std::make_unique<FakeFocusTyping>();
        auto window = std::make_unique<FakeForegroundWindow>();
        m_typing = typing.get();
        m_window = window.get();
        m_iat = std::make_unique<ZorvelIat>(nullptr, std::move(typing), std::move(window));
        m_events.clear();
        m_commands.clear();
        m_action = CommandAction::none();
        m_catcher.urls.clear();
        m_iat->setReloader([this] { m_events << "reload"; });
        m_iat->setInterpreter([this](const QString& command) {
            m_events << "interpret";
            m_commands << command;
            return m_action;
        });
        connect(m_iat.get(), &ZorvelIat::writeIat, this, [this](const QString& line) { m_events << line; });
        ConfigStore::instance()["RemovePunctuation"] = 1;
        ConfigStore::instance()["ClosePrompt"] = 0;
    }

    void cleanup() {
        m_iat.reset();
        m_dir.reset();
    }

    void modeSwitch_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QList<int>>("before");
        QTest::addColumn<int>("closePrompt");
        QTest::addColumn<QList<int>>("after");
        const QList<int> typing{1, 0, 0}, intelligent{0, 1, 0}, translation{0, 0, 1};
        const auto row = [](const char* name, const QString& text, const QList<int>& before, int closePrompt,
                            const QList<int>& after) {
            QTest::newRow(name) << text << before << closePrompt << after;
        };
        row("to intelligent from typing", "切换到智能模式。", typing, 0, intelligent);
        row("to typing from translation, not translated", "切换到打字模式", translation, 0, typing);
        row("to translation, phrase inside a sentence", "请帮我切换到翻译模式吧", intelligent, 0,
            translation);
        row("typing and translation: last stands", "切换到翻译模式，切换到打字模式", intelligent, 0,
            translation);
        row("all three: translation stands", "切换到智能模式切换到翻译模式切换到打字模式", typing, 0,
            translation);
        row("typing then intelligent", "切换到打字模式 切换到智能模式", translation, 0, intelligent);
        row("notice shown although ClosePrompt is 1", "切换到打字模式", intelligent, 1, typing);
    }

    void modeSwitch() {
        QFETCH(QString, text);
        QFETCH(QList<int>, before);
        QFETCH(int, closePrompt);
        QFETCH(QList<int>, after);
        setModes(before[0], before[1], before[2]);
        ConfigStore::instance()["ClosePrompt"] = closePrompt;
        QVERIFY(ConfigStore::instance().save());
        const QByteArray saved = m_dir->read("config.txt");

        m_iat->write(text);

        QCOMPARE(modes(), after);
        QCOMPARE(m_events, QStringList{"reload"}); // nothing typed, interpreted or translated
        QVERIFY(m_typing->posted.isEmpty());
        QCOMPARE(m_iat->pendingTranslations(), 0);
        QCOMPARE(m_dir->read("config.txt"), saved); // the switch is not saved
        QVERIFY(m_iat->promptBox()->isVisible());
        const QString names[] = {"打字", "智能", "翻译"};
        QCOMPARE(m_iat->promptBox()->text(), "你已切换到" + names[after.indexOf(1)] + "模式！");
    }

    void modeSwitchNoticeLastsASecond() {
        setModes(1, 0, 0);
        m_iat->write("切换到智能模式");
        QTest::qWait(700); // a 500 ms notice would be gone by now
        QVERIFY(m_iat->promptBox()->isVisible());
        QTRY_VERIFY_WITH_TIMEOUT(!m_iat->promptBox()->isVisible(), 5000);
    }

    void emptyText_data() {
        QTest::addColumn<QList<int>>("flags");
        QTest::addColumn<int>("closePrompt");
        QTest::addColumn<QString>("notice"); // empty: no notice
        const auto row = [](const char* name, const QList<int>& flags, int closePrompt,
                            const QString& notice) { QTest::newRow(name) << flags << closePrompt << notice; };
        row("typing, prompts on", {1, 0, 0}, 0, "请你说大点声！");
        row("typing, prompts off", {1, 0, 0}, 1, "");
        row("intelligent, prompts on", {0, 1, 0}, 0, "请重试！！！");
        row("translation, prompts on", {0, 0, 1}, 0, "请你说大点声！");
        row("translation, ClosePrompt 2", {0, 0, 1}, 2, "");
        row("typing and intelligent: typing ends it", {1, 1, 0}, 0, "请你说大点声！");
        row("intelligent and translation: intelligent ends it", {0, 1, 1}, 0, "请重试！！！");
        row("no mode", {0, 0, 0}, 0, "");
    }

    void emptyText() {
        QFETCH(QList<int>, flags);
        QFETCH(int, closePrompt);
        QFETCH(QString, notice);
        setModes(flags[0], flags[1], flags[2]);
        ConfigStore::instance()["ClosePrompt"] = closePrompt;

        m_iat->write(QString());

        QCOMPARE(m_events, QStringList{"reload"});
        QVERIFY(m_typing->posted.isEmpty());
        QCOMPARE(m_iat->pendingTranslations(), 0);
        QCOMPARE(m_iat->promptBox()->isVisible(), !notice.isEmpty());
        if (!notice.isEmpty())
            QCOMPARE(m_iat->promptBox()->text(), notice);
        QCOMPARE(modes(), flags);
    }

    void routesInOrder_data() {
        QTest::addColumn<QList<int>>("flags");
        QTest::addColumn<QStringList>("events");
        const QString t = "打字模式：好。", i = "智能模式：好。", r = "翻译模式：好。中文---->中文";
        QTest::newRow("typing") << QList<int>{1, 0, 0} << QStringList{"reload", t};
        QTest::newRow("intelligent") << QList<int>{0, 1, 0} << QStringList{"reload", i, "interpret"};
        QTest::newRow("all three") << QList<int>{1, 1, 1} << QStringList{"reload", t, i, "interpret", r};
        QTest::newRow("typing and translation") << QList<int>{1, 0, 1} << QStringList{"reload", t, r};
        QTest::newRow("flags other than 1 are off") << QList<int>{2, -1, 0} << QStringList{"reload"};
    }

    void routesInOrder() {
        QFETCH(QList<int>, flags);
        QFETCH(QStringList, events);
        setModes(flags[0], flags[1], flags[2]);
        m_iat->write("好。");
        QCOMPARE(m_events, events);
        QCOMPARE(m_typing->posted, flags[0] == 1 ? hex("BA C3") : QByteArray());
        QCOMPARE(m_iat->pendingTranslations(), flags[2] == 1 ? 1 : 0);
        QVERIFY(!m_iat->promptBox()->isVisible());
    }

    void trimming_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("start");
        QTest::addColumn<QString>("result");
        const auto row = [](const char* name, const QString& text, const QString& start,
                            const QString& result) { QTest::newRow(name) << text << start << result; };
        row("full stop", "你好。", "", "你好");
        row("question mark overrides full stop", "第一句。第二句？", "", "第一句。第二句");
        row("question mark before full stop", "第一句？第二句。", "", "第一句");
        row("comma keeps the whole text", "好的，谢谢。", "", "好的，谢谢。");
        row("ascii stop", "version 2.5 ok", "", "version 2");
        row("ascii stop overrides question mark", "好吗？ok.yes", "", "好吗？ok");
        row("no mark gives the start value", "你好", "你好", "你好");
        row("exclamation is not a mark", "你好！", "", "");
        row("first of several stops", "一。二。三。", "", "一");
        row("mark at the start", "。你好", "你好", "");
        row("ascii comma is not a mark", "a,b", "x", "x");
        row("empty", "", "s", "s");
    }

    void trimming() {
        QFETCH(QString, text);
        QFETCH(QString, start);
        QFETCH(QString, result);
        QCOMPARE(ZorvelIat::trimSentenceMarks(text, start), result);
    }

    void typingBytes_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("removePunctuation");
        QTest::addColumn<QByteArray>("bytes");
        const auto row = [](const char* name, const QString& text, int removePunctuation, const char* bytes) {
            QTest::newRow(name) << text << removePunctuation << hex(bytes);
        };
        row("你好 whole", "你好", 0, "C4 E3 BA C3");
        row("a你 whole", "a你", 0, "61 C4 E3");
        row("你好。 trimmed", "你好。", 1, "C4 E3 BA C3");
        row("你好。 whole keeps the mark", "你好。", 0, "C4 E3 BA C3 A1 A3");
        row("no mark, trimmed: nothing", "你好", 1, "");
        row("comma, trimmed: whole", "好的，谢谢。", 1, "BA C3 B5 C4 A3 AC D0 BB D0 BB A1 A3");
        row("other value: nothing", "你好。", 2, "");
        row("ascii stop trimmed", "Hello world. Bye", 1, "48 65 6C 6C 6F 20 77 6F 72 6C 64");
    }

    void typingBytes() {
        QFETCH(QString, text);
        QFETCH(int, removePunctuation);
        QFETCH(QByteArray, bytes);
        ConfigStore::instance()["RemovePunctuation"] = removePunctuation;
        setModes(1, 0, 0);
        m_iat->write(text);
        QCOMPARE(m_typing->posted.toHex(' '), bytes.toHex(' '));
        if (!bytes.isEmpty())
            QCOMPARE(m_typing->lastControl, m_typing->focus);
        // The log line carries the untrimmed text.
        QCOMPARE(m_events, (QStringList{"reload", "打字模式：" + text}));
    }

    void postTextToFocus_data() {
        QTest::addColumn<FocusTyping::WindowId>("foreground");
        QTest::addColumn<FocusTyping::WindowId>("focus");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QByteArray>("posted");
        const auto row = [](const char* name, int foreground, int focus, const QByteArray& bytes,
                            const QByteArray& posted) {
            QTest::newRow(name) << FocusTyping::WindowId(foreground) << FocusTyping::WindowId(focus) << bytes
                                << posted;
        };
        row("ascii", 1, 2, "abc", "abc");
        row("no foreground window", 0, 2, "abc", "");
        row("no focused control", 1, 0, "abc", "");
        row("empty", 1, 2, "", "");
        row("up to the first zero byte", 1, 2, QByteArray("ab\0cd", 5), "ab");
        row("trail byte below 0x80 stays with its lead", 1, 2, hex("81 40 41"), hex("81 40 41"));
        row("lone lead byte at the end", 1, 2, hex("61 C4"), hex("61 C4"));
    }

    void postTextToFocus() {
        QFETCH(FocusTyping::WindowId, foreground);
        QFETCH(FocusTyping::WindowId, focus);
        QFETCH(QByteArray, bytes);
        QFETCH(QByteArray, posted);
        m_typing->foreground = foreground;
        m_typing->focus = focus;
        m_iat->postTextToFocus(bytes);
        QCOMPARE(m_typing->posted.toHex(' '), posted.toHex(' '));
    }

    void interpret_data() {
        QTest::addColumn<QString>("utterance");
        QTest::addColumn<QString>("windowClass"); // "-" for no foreground window
        QTest::addColumn<int>("removePunctuation");
        QTest::addColumn<int>("closePrompt");
        QTest::addColumn<CommandAction>("action");
        QTest::addColumn<QString>("command"); // text passed to the interpreter, "-" if not asked
        QTest::addColumn<QString>("url");     // opened, empty for none
        QTest::addColumn<QString>("notice");  // empty for none
        QTest::addColumn<QByteArray>("typed");
        const auto row = [](const char* name, const QString& utterance, const QString& windowClass,
                            int removePunctuation, int closePrompt, const CommandAction& action,
                            const QString& command, const QString& url, const QString& notice,
                            const QByteArray& typed) {
            QTest::newRow(name) << utterance << windowClass << removePunctuation << closePrompt << action
                                << command << url << notice << typed;
        };
        const CommandAction open = CommandAction::open("https://www.example.com/s?wd=天气 北京");
        const QString opened = QUrl("https://www.example.com/s?wd=天气 北京", QUrl::TolerantMode).toString();
        const CommandAction notice = CommandAction::notice();
        row("editor window types the command text", "你好。", "Notepad", 1, 0, open, "-", "", "",
            hex("C4 E3 BA C3"));
        row("editor window, whole utterance", "你好。", "WebChatMainWndForPC", 0, 0, open, "-", "", "",
            hex("C4 E3 BA C3 A1 A3"));
        row("editor window, other punctuation value types nothing", "你好。", "XLMAIN", 5, 0, open, "-", "",
            "", "");
        row("class compared case-sensitively", "天气。", "notepad", 1, 0, open, "天气", opened, "天气", "");
        row("no foreground window: interpreted", "天气。", "-", 1, 0, open, "天气", opened, "天气", "");
        row("open without notice", "天气。", "Qt", 1, 1, open, "天气", opened, "", "");
        row("notice only", "关闭电脑。", "Qt", 1, 0, notice, "关闭电脑", "", "关闭电脑", "");
        row("notice suppressed", "关闭电脑。", "Qt", 1, 1, notice, "关闭电脑", "", "", "");
        row("nothing", "随便。", "Qt", 1, 0, CommandAction::none(), "随便", "", "", "");
        row("no mark gives an empty command text", "打开记事本！", "Qt", 1, 0, notice, "", "", "", "");
    }

    void interpret() {
        QFETCH(QString, utterance);
        QFETCH(QString, windowClass);
        QFETCH(int, removePunctuation);
        QFETCH(int, closePrompt);
        QFETCH(CommandAction, action);
        QFETCH(QString, command);
        QFETCH(QString, url);
        QFETCH(QString, notice);
        QFETCH(QByteArray, typed);
        setModes(0, 1, 0);
        ConfigStore::instance()["RemovePunctuation"] = removePunctuation;
        ConfigStore::instance()["ClosePrompt"] = closePrompt;
        if (windowClass != "-")
            m_window->windowClass = windowClass;
        m_action = action;

        m_iat->write(utterance);

        QCOMPARE(m_events.mid(0, 2), (QStringList{"reload", "智能模式：" + utterance}));
        QCOMPARE(m_commands, command == "-" ? QStringList() : QStringList{command});
        QCOMPARE(m_catcher.urls.size(), url.isEmpty() ? 0 : 1);
        if (!url.isEmpty())
            QCOMPARE(m_catcher.urls.first().toString(), url);
        // The notice is the command text; an empty command text shows an empty notice.
        const bool noticeExpected =
            !notice.isEmpty() || (action.kind == CommandAction::Notice && closePrompt == 0 && command == "");
        QCOMPARE(m_iat->promptBox()->isVisible(), noticeExpected);
        if (noticeExpected)
            QCOMPARE(m_iat->promptBox()->text(), notice);
        QCOMPARE(m_typing->posted.toHex(' '), typed.toHex(' '));
    }

    void interpretWithoutInterpreterDoesNothing() {
        m_iat->setInterpreter(nullptr);
        setModes(0, 1, 0);
        m_iat->write("打开百度。");
        QCOMPARE(m_events, (QStringList{"reload", "智能模式：打开百度。"}));
        QVERIFY(m_catcher.urls.isEmpty());
        QVERIFY(m_typing->posted.isEmpty());
    }
};

QTEST_MAIN(TestZorvelIat)
#include "tst_zorveliat.moc"
