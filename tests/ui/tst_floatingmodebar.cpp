#include "UiTestSupport.h"
#include "tests/support/Rows.h"

class TestFloatingModeBar : public UiTest {
    Q_OBJECT
private slots:
    // Typing mode is active before; leaving a button inside the strip keeps it shown; any mouse
    // button switches, the languages stay. No notice expected means notices are switched off.
    void modeButtons_data() {
        const Rows<QString, int, QString> row; // mode flags, mouse button, notice
        row("translation, middle", "001", Qt::MiddleButton, "你已选择 翻译模式");
        row("intelligent, notices off", "010", Qt::LeftButton, "");
    }
    void modeButtons() {
        const auto [flags, mouse, notice] = Rows<QString, int, QString>::fetch();
        preset(modes("100"));
        preset({{"ClosePrompt", notice.isEmpty() ? 1 : 0}, {"TypingLanguage", 3}});
        FloatingModeBar tool;
        tool.show();
        QEvent leave(QEvent::Leave);
        QApplication::sendEvent(child(tool, "typingModeButton"), &leave);
        QVERIFY(tool.isVisible());
        QFile::remove("config.txt");
        const char* const buttons[3] = {"typingModeButton", "intelligentModeButton", "translationModeButton"};
        QTest::mousePress(child(tool, buttons[flags.indexOf('1')]), Qt::MouseButton(mouse));
        QCOMPARE(saved(modes(flags)), modes(flags));
        QCOMPARE(saved().value("TypingLanguage"), 3);
        QVERIFY(!tool.isVisible());
        QCOMPARE(tool.noticeBox()->isVisible() ? tool.noticeBox()->text() : QString(), notice);
        QTRY_VERIFY_WITH_TIMEOUT(!tool.noticeBox()->isVisible(), 2000);
    }
};

QTEST_MAIN(TestFloatingModeBar)
#include "tst_floatingmodebar.moc"
