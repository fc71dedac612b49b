#include "app/ConfigStore.h"
#include "app/NoticeBox.h"
#include "platform/fake/FakeForegroundWindow.h"
#include "result/ResultDispatcher.h"
#include "tests/result/FocusReceiver.h"
#include "tests/result/MixedText.h"
#include "tests/speech/ScriptedSpeechService.h"
#include "tests/support/Rows.h"
#include "tests/support/TestDir.h"
#include "voice/RecognitionThread.h"

#include <QtTest>

#include <X11/XKBlib.h>
#include <X11/Xlib.h>

// Typing through the real X11 backend into a line edit of another X client.
class TestXTyping : public QObject {
    Q_OBJECT

    std::unique_ptr<FocusReceiver> m_receiver;
    std::unique_ptr<TestDir> m_dir;

    // Keysyms of every keycode, to see that borrowed keycodes are given back.
    static QVector<unsigned long> keymap() {
        QVector<unsigned long> all;
        Display* display = XOpenDisplay(nullptr);
        if (!display)
            return all;
        int minCode = 0, maxCode = 0, perCode = 0;
        XDisplayKeycodes(display, &minCode, &maxCode);
        KeySym* syms = XGetKeyboardMapping(display, KeyCode(minCode), maxCode - minCode + 1, &perCode);
        for (int i = 0; i < (maxCode - minCode + 1) * perCode; ++i)
            all.append(syms[i]);
        XFree(syms);
        XCloseDisplay(display);
        return all;
    }

    void expectTyped(const QString& expected, int returns = 0) {
        m_receiver->waitForText(expected, 15000);
        m_receiver->settle(400); // anything typed too much would show now
        QCOMPARE(m_receiver->text(), expected);
        QCOMPARE(m_receiver->returns(), returns);
    }

private slots:
    void initTestCase() {
        if (qEnvironmentVariableIsEmpty("DISPLAY"))
            QSKIP("No X display: this test runs under xvfb-run");
        m_receiver =
            std::make_unique<FocusReceiver>(QCoreApplication::applicationDirPath() + "/focus_receiver");
        QVERIFY2(m_receiver->start(), "the receiving window did not get the focus");
    }

    void init() {
        m_dir = std::make_unique<TestDir>();
        QVERIFY(m_receiver->clear());
    }

    void cleanup() { m_dir.reset(); }
    void cleanupTestCase() { m_receiver.reset(); }

    // Every character as it is; a tab is the Tab key, a new line Return, other controls no key.
    void typesEveryCharacter_data() {
        const Rows<QString, QString, int> row; // text, line edit, returns
        row("any script", QStringLiteral("naïve Straße Ñandú 👍 שלום\tend"),
            QStringLiteral("naïve Straße Ñandú 👍 שלום\tend"), 0);
        row("controls",
            "a\r\nb\tc\x1b"
            "d",
            "ab\tcd", 1);
    }
    void typesEveryCharacter() {
        const auto [text, expected, returns] = Rows<QString, QString, int>::fetch();
        auto typing = FocusTyping::create();
        ResultDispatcher::postTextToFocus(*typing, text);
        expectTyped(expected, returns);
    }

    // A long dictation: recognised whole and typed whole.
    void longRecognisedTextTypedWhole() {
        ConfigStore::instance()["TypingModel"] = 1;
        ConfigStore::instance()["RemovePunctuation"] = 0;
        const QString text = ::mixedText(5000);
        auto engine = std::make_unique<ScriptedSpeechService>();
        engine->replies = {{text.toUtf8(), 5, 0}};
        RecognitionThread recognition(std::move(engine));
        ResultDispatcher dispatcher(nullptr, FocusTyping::create(), std::make_unique<FakeForegroundWindow>());
        connect(&recognition, &RecognitionThread::textRecognised, &dispatcher, &ResultDispatcher::write);
        recognition.start();
        recognition.takes().addClosed(QByteArray(20000, '\0'));
        m_receiver->waitForText(text, 420000); // minutes under the sanitizers beside other tests
        recognition.stop();
        recognition.wait();
        expectTyped(text);
    }

    void capsLockDoesNotChangeLetters() {
        Display* display = XOpenDisplay(nullptr);
        QVERIFY(display);
        XkbLockModifiers(display, XkbUseCoreKbd, LockMask, LockMask);
        XSync(display, False);
        auto typing = FocusTyping::create();
        ResultDispatcher::postTextToFocus(*typing, QStringLiteral("Hello World 你好 abc XYZ 123!"));
        typing.reset();
        XkbLockModifiers(display, XkbUseCoreKbd, LockMask, 0);
        XCloseDisplay(display);
        expectTyped("Hello World 你好 abc XYZ 123!");
    }

    void borrowedKeycodesAreGivenBack() {
        const QVector<unsigned long> before = keymap();
        QVERIFY(!before.isEmpty());
        auto typing = FocusTyping::create();
        const QString text =
            QStringLiteral("天地玄黄宇宙洪荒日月盈昃辰宿列张寒来暑往秋收冬藏闰余成岁律吕调阳");
        ResultDispatcher::postTextToFocus(*typing, text);
        expectTyped(text);
        m_receiver->settle(600); // the keycodes go back once typing has been quiet for a while
        QCOMPARE(keymap(), before);
    }

    // Last, as the receiver stops taking the focus back. With the focus following the pointer
    // (PointerRoot: Xvfb without a window manager) and a notice of ours under the pointer, the
    // notice gets no key; a 300-character text and one queued right behind it wait until it has
    // gone and then arrive whole and in order.
    void noticeUnderThePointerGetsNothing() {
        QVERIFY(m_receiver->unfocus());
        Display* display = XOpenDisplay(nullptr);
        QVERIFY(display);
        XSetInputFocus(display, PointerRoot, RevertToPointerRoot, CurrentTime);
        XWarpPointer(display, None, DefaultRootWindow(display), 0, 0, 0, 0, 320, 65); // over the line edit
        XCloseDisplay(display);
        NoticeBox notice;
        notice.showPromptFor(QStringLiteral("请说口令！"), 800);
        notice.move(300, 30); // under the pointer
        QVERIFY(QTest::qWaitForWindowExposed(&notice));
        ResultDispatcher dispatcher(nullptr, FocusTyping::create(), std::make_unique<FakeForegroundWindow>());
        ConfigStore::instance()["TypingModel"] = 1;
        ConfigStore::instance()["RemovePunctuation"] = 0;
        const QString first = ::mixedText(300), second = QStringLiteral(" and the next take 第二句");
        dispatcher.write(first);
        dispatcher.write(second);
        expectTyped(first + second);
    }
};

QTEST_MAIN(TestXTyping)
#include "tst_xtyping.moc"
