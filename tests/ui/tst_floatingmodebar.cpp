#include "UiTestSupport.h"

namespace {
const char* const kModeButtons[3] = {"typingModeButton", "intelligentModeButton", "translationModeButton"};
// The mode buttons showing the active look, as 0/1 in button order.
QString activeButtons(FloatingModeBar& tool) {
    QString looks;
    for (const char* name : kModeButtons)
        looks += UiTest::child(tool, name)->styleSheet() == FloatingModeBar::activeLook() ? '1' : '0';
    return looks;
}
} // namespace

class TestFloatingModeBar : public UiTest {
    Q_OBJECT
private slots:
    // Typing mode is active before; any mouse button switches, the languages stay. No notice
    // expected means notices are switched off.
    void modeButtons_data() {
        QTest::addColumn<QString>("flags");
        QTest::addColumn<int>("mouse");
        QTest::addColumn<QString>("notice");
        QTest::newRow("typing again") << "100" << int(Qt::LeftButton) << "你已选择 打字模式";
        QTest::newRow("intelligent, right") << "010" << int(Qt::RightButton) << "你已选择 智能模式";
        QTest::newRow("translation, middle") << "001" << int(Qt::MiddleButton) << "你已选择 翻译模式";
        QTest::newRow("intelligent, notices off") << "010" << int(Qt::LeftButton) << "";
    }
    void modeButtons() {
        QFETCH(QString, flags);
        QFETCH(int, mouse);
        QFETCH(QString, notice);
        preset(modes("100"));
        preset({{"ClosePrompt", notice.isEmpty() ? 1 : 0}, {"TypingLanguage", 3}});
        FloatingModeBar tool;
        tool.show();
        QFile::remove("config.txt");
        QTest::mousePress(child(tool, kModeButtons[flags.indexOf('1')]), Qt::MouseButton(mouse));
        QCOMPARE(saved(modes(flags)), modes(flags));
        QCOMPARE(saved().value("TypingLanguage"), 3);
        QVERIFY(!tool.isVisible());
        QCOMPARE(tool.noticeBox()->isVisible() ? tool.noticeBox()->text() : QString(), notice);
        QTRY_VERIFY_WITH_TIMEOUT(!tool.noticeBox()->isVisible(), 2000);
    }
    // The looks follow the store within a tick: the last active mode in the order typing,
    // intelligent, translation wins; none keeps the looks.
    void refreshShowsActiveMode_data() {
        QTest::addColumn<QString>("flags");
        QTest::addColumn<QString>("active");
        QTest::newRow("typing") << QString("100") << "100";
        QTest::newRow("typing and translation") << QString("101") << "001";
        QTest::newRow("all three") << QString("111") << "001";
        QTest::newRow("none") << QString("000") << "010";
    }
    void refreshShowsActiveMode() {
        QFETCH(QString, flags);
        QFETCH(QString, active);
        preset(modes("010"));
        FloatingModeBar tool;
        QCOMPARE(activeButtons(tool), QString("010"));
        preset(modes(flags));
        QTRY_COMPARE_WITH_TIMEOUT(activeButtons(tool), active, 3000);
        tool.refreshLooks();
        QCOMPARE(activeButtons(tool), active);
    }
    // Leaving the strip (not a button inside it) hides it, and so does "三", which asks for the settings.
    void hiding() {
        FloatingModeBar tool;
        tool.show();
        QEvent leave(QEvent::Leave);
        QApplication::sendEvent(child(tool, "typingModeButton"), &leave);
        QVERIFY(tool.isVisible());
        QApplication::sendEvent(&tool, &leave);
        QVERIFY(!tool.isVisible());
        tool.show();
        QSignalSpy spy(&tool, &FloatingModeBar::showSettingsDialog);
        click(tool, "settingsButton");
        QCOMPARE(spy.count(), 1);
        QVERIFY(!tool.isVisible());
        QVERIFY(!QFile::exists("config.txt"));
    }
};

QTEST_MAIN(TestFloatingModeBar)
#include "tst_floatingmodebar.moc"
