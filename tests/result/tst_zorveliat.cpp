#include "app/ConfigStore.h"
#include "app/PromptBox.h"
#include "platform/fake/FakeFocusTyping.h"
#include "platform/fake/FakeForegroundWindow.h"
#include "result/ZorvelIat.h"
#include "tests/support/UrlCatcher.h"
#include "tests/support/TestDir.h"

#include <QDesktopServices>
#include <QSignalSpy>
#include <QTextCodec>
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
    void initTestCase() {
    }

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

    void form() {
        QCOMPARE(m_iat->objectName(), QString("ZorvelIat"));
        QCOMPARE(m_iat->size(), QSize(400, 300));
        QCOMPARE(m_iat->windowTitle(), QString("Form"));
        QVERIFY(!m_iat->isVisible());
    }

    void modeSwitch_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QList<int>>("before");
        QTest::addColumn<int>("closePrompt");
        QTest::addColumn<QList<int>>("after");
        QTest::addColumn<QString>("notice");
        const QList<int> typing{1, 0, 0}, intelligent{0, 1, 0}, translation{0, 0, 1};
        QTest::newRow("to intelligent from typing")
            << "切换到智能模式。" << typing << 0 << intelligent << "你已切换到智能模式！";
        QTest::newRow("to typing from translation, not translated")
            << "切换到打字模式" << translation << 0 << typing << "你已切换到打字模式！";
        QTest::newRow("to translation, phrase inside a sentence")
            << "请帮我切换到翻译模式吧" << intelligent << 0 << translation << "你已切换到翻译模式！";
        QTest::newRow("typing and translation: last stands")
            << "切换到翻译模式，切换到打字模式" << intelligent << 0 << translation << "你已切换到翻译模式！";
        QTest::newRow("all three: translation stands")
            << "切换到智能模式切换到翻译模式切换到打字模式" << typing << 0 << translation
            << "你已切换到翻译模式！";
        QTest::newRow("typing then intelligent")
            << "切换到打字模式 切换到智能模式" << translation << 0 << intelligent << "你已切换到智能模式！";
        QTest::newRow("notice shown although ClosePrompt is 1")
            << "切换到打字模式" << intelligent << 1 << typing << "你已切换到打字模式！";
        QTest::newRow("same mode again")
            << "切换到打字模式" << typing << 0 << typing << "你已切换到打字模式！";
    }

    void modeSwitch() {
        QFETCH(QString, text);
        QFETCH(QList<int>, before);
        QFETCH(int, closePrompt);
        QFETCH(QList<int>, after);
        QFETCH(QString, notice);
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
        QCOMPARE(m_iat->promptBox()->text(), notice);
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
        QTest::newRow("typing, prompts on") << QList<int>{1, 0, 0} << 0 << "请你说大点声！";
        QTest::newRow("typing, prompts off") << QList<int>{1, 0, 0} << 1 << "";
        QTest::newRow("intelligent, prompts on") << QList<int>{0, 1, 0} << 0 << "请重试！！！";
        QTest::newRow("intelligent, prompts off") << QList<int>{0, 1, 0} << 1 << "";
        QTest::newRow("translation, prompts on") << QList<int>{0, 0, 1} << 0 << "请你说大点声！";
        QTest::newRow("translation, ClosePrompt 2") << QList<int>{0, 0, 1} << 2 << "";
        QTest::newRow("typing and intelligent: typing ends it")
            << QList<int>{1, 1, 0} << 0 << "请你说大点声！";
        QTest::newRow("intelligent and translation: intelligent ends it")
            << QList<int>{0, 1, 1} << 0 << "请重试！！！";
        QTest::newRow("no mode") << QList<int>{0, 0, 0} << 0 << "";
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
        QTest::newRow("translation") << QList<int>{0, 0, 1} << QStringList{"reload", r};
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
        QTest::newRow("full stop") << "你好。"
                                   << ""
                                   << "你好";
        QTest::newRow("question mark") << "你好吗？"
                                       << ""
                                       << "你好吗";
        QTest::newRow("question mark overrides full stop") << "第一句。第二句？"
                                                           << ""
                                                           << "第一句。第二句";
        QTest::newRow("question mark before full stop") << "第一句？第二句。"
                                                        << ""
                                                        << "第一句";
        QTest::newRow("comma keeps the whole text") << "好的，谢谢。"
                                                    << ""
                                                    << "好的，谢谢。";
        QTest::newRow("ascii stop") << "version 2.5 ok"
                                    << ""
                                    << "version 2";
        QTest::newRow("ascii stop overrides question mark") << "好吗？ok.yes"
                                                            << ""
                                                            << "好吗？ok";
        QTest::newRow("no mark gives the start value") << "你好"
                                                       << ""
                                                       << "";
        QTest::newRow("no mark, start is the text") << "你好"
                                                    << "你好"
                                                    << "你好";
        QTest::newRow("exclamation is not a mark") << "你好！"
                                                   << ""
                                                   << "";
        QTest::newRow("first of several stops") << "一。二。三。"
                                                << ""
                                                << "一";
        QTest::newRow("mark at the start") << "。你好"
                                           << "你好"
                                           << "";
        QTest::newRow("ascii comma is not a mark") << "a,b"
                                                   << "x"
                                                   << "x";
        QTest::newRow("empty") << ""
                               << "s"
                               << "s";
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
        QTest::newRow("abc whole") << "abc" << 0 << hex("61 62 63");
        QTest::newRow("你好 whole") << "你好" << 0 << hex("C4 E3 BA C3");
        QTest::newRow("a你 whole") << "a你" << 0 << hex("61 C4 E3");
        QTest::newRow("你好。 trimmed") << "你好。" << 1 << hex("C4 E3 BA C3");
        QTest::newRow("你好。 whole keeps the mark") << "你好。" << 0 << hex("C4 E3 BA C3 A1 A3");
        QTest::newRow("no mark, trimmed: nothing") << "你好" << 1 << QByteArray();
        QTest::newRow("comma, trimmed: whole")
            << "好的，谢谢。" << 1 << hex("BA C3 B5 C4 A3 AC D0 BB D0 BB A1 A3");
        QTest::newRow("other value: nothing") << "你好。" << 2 << QByteArray();
        QTest::newRow("ascii stop trimmed") << "Hello world. Bye" << 1 << QByteArray("Hello world");
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
        QTest::newRow("ascii") << FocusTyping::WindowId(1) << FocusTyping::WindowId(2) << QByteArray("abc")
                               << QByteArray("abc");
        QTest::newRow("no foreground window")
            << FocusTyping::WindowId(0) << FocusTyping::WindowId(2) << QByteArray("abc") << QByteArray();
        QTest::newRow("no focused control")
            << FocusTyping::WindowId(1) << FocusTyping::WindowId(0) << QByteArray("abc") << QByteArray();
        QTest::newRow("empty") << FocusTyping::WindowId(1) << FocusTyping::WindowId(2) << QByteArray()
                               << QByteArray();
        QTest::newRow("up to the first zero byte") << FocusTyping::WindowId(1) << FocusTyping::WindowId(2)
                                                   << QByteArray("ab\0cd", 5) << QByteArray("ab");
        QTest::newRow("trail byte below 0x80 stays with its lead")
            << FocusTyping::WindowId(1) << FocusTyping::WindowId(2) << hex("81 40 41") << hex("81 40 41");
        QTest::newRow("lone lead byte at the end")
            << FocusTyping::WindowId(1) << FocusTyping::WindowId(2) << hex("61 C4") << hex("61 C4");
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
        const CommandAction open = CommandAction::open("https://www.example.com/s?wd=天气 北京");
        const QString opened = QUrl("https://www.example.com/s?wd=天气 北京", QUrl::TolerantMode).toString();
        QTest::newRow("editor window types the command text") << "你好。"
                                                              << "Notepad" << 1 << 0 << open << "-"
                                                              << ""
                                                              << "" << hex("C4 E3 BA C3");
        QTest::newRow("editor window, whole utterance") << "你好。"
                                                        << "WebChatMainWndForPC" << 0 << 0 << open << "-"
                                                        << ""
                                                        << "" << hex("C4 E3 BA C3 A1 A3");
        QTest::newRow("editor window, other punctuation value types nothing")
            << "你好。"
            << "XLMAIN" << 5 << 0 << open << "-"
            << ""
            << "" << QByteArray();
        QTest::newRow("class compared case-sensitively")
            << "天气。"
            << "notepad" << 1 << 0 << open << "天气" << opened << "天气" << QByteArray();
        QTest::newRow("no foreground window: interpreted")
            << "天气。"
            << "-" << 1 << 0 << open << "天气" << opened << "天气" << QByteArray();
        QTest::newRow("open without notice")
            << "天气。"
            << "Qt" << 1 << 1 << open << "天气" << opened << "" << QByteArray();
        QTest::newRow("notice only") << "关闭电脑。"
                                     << "Qt" << 1 << 0 << CommandAction::notice() << "关闭电脑"
                                     << ""
                                     << "关闭电脑" << QByteArray();
        QTest::newRow("notice suppressed") << "关闭电脑。"
                                           << "Qt" << 1 << 1 << CommandAction::notice() << "关闭电脑"
                                           << ""
                                           << "" << QByteArray();
        QTest::newRow("nothing") << "随便。"
                                 << "Qt" << 1 << 0 << CommandAction::none() << "随便"
                                 << ""
                                 << "" << QByteArray();
        QTest::newRow("no mark gives an empty command text")
            << "打开记事本！"
            << "Qt" << 1 << 0 << CommandAction::notice() << ""
            << ""
            << "" << QByteArray();
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

    void md5Hex_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("digest");
        QTest::newRow("empty") << ""
                               << "d41d8cd98f00b204e9800998ecf8427e";
        QTest::newRow("abc") << "abc"
                             << "900150983cd24fb0d6963f7d28e17f72";
        // UTF-8 bytes E4 BD A0 E5 A5 BD.
        QTest::newRow("你好") << "你好"
                              << "7eca689f0d3389d9dea66ae112e5cfd7";
    }

    void md5Hex() {
        QFETCH(QString, text);
        QFETCH(QString, digest);
        QCOMPARE(ZorvelIat::md5Hex(text), digest);
    }
};

QTEST_MAIN(TestZorvelIat)
#include "tst_zorveliat.moc"
