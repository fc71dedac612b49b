#include "UiTestSupport.h"
#include "app/PromptBox.h"
#include "ui/ConvenientTool.h"

#include <QPushButton>

using namespace uitest;

namespace {
const char* const kModeButtons[3] = {"pushButton", "pushButton_2", "pushButton_3"};

// The mode buttons showing the active look, as a string of 0/1 in button order.
QString activeButtons(ConvenientTool& tool) {
    QString looks;
    for (const char* name : kModeButtons)
        looks += tool.findChild<QPushButton*>(name)->styleSheet() == ConvenientTool::activeLook() ? '1' : '0';
    return looks;
}
} // namespace

class TestConvenientTool : public QObject {
    Q_OBJECT
    Fixture m_fixture;

private slots:
    void initTestCase() { installFontSubstitutions(); }
    void init() { m_fixture.init(); }
    void cleanup() { m_fixture.cleanup(); }

    void form() {
        ConvenientTool tool;
        QVERIFY(!tool.isVisible());
        QCOMPARE(tool.size(), QSize(240, 30));
        QCOMPARE(tool.windowType(), Qt::ToolTip);
        QVERIFY(tool.windowFlags() & Qt::FramelessWindowHint);
        const QStringList texts{"打字", "智能", "翻译", "三"};
        const QList<QRect> places{{0, 0, 70, 30}, {70, 0, 70, 30}, {140, 0, 70, 30}, {210, 0, 30, 30}};
        const char* const names[4] = {"pushButton", "pushButton_2", "pushButton_3", "pushButton_4"};
        for (int i = 0; i < 4; ++i) {
            auto* button = tool.findChild<QPushButton*>(names[i]);
            QCOMPARE(button->text(), texts[i]);
            QCOMPARE(button->geometry(), places[i]);
        }
        QCOMPARE(tool.findChild<QPushButton*>("pushButton_4")->styleSheet(), ConvenientTool::normalLook());
    }

    void modeButtons_data() {
        QTest::addColumn<int>("button");
        QTest::addColumn<int>("mouse");
        QTest::addColumn<int>("closePrompt");
        QTest::addColumn<QString>("flags");
        QTest::addColumn<QString>("notice");
        QTest::newRow("typing, left") << 0 << int(Qt::LeftButton) << 0 << "100"
                                      << "你已选择 打字模式";
        QTest::newRow("intelligent, right") << 1 << int(Qt::RightButton) << 0 << "010"
                                            << "你已选择 智能模式";
        QTest::newRow("translation, middle") << 2 << int(Qt::MiddleButton) << 0 << "001"
                                             << "你已选择 翻译模式";
        QTest::newRow("intelligent, notices off") << 1 << int(Qt::LeftButton) << 1 << "010"
                                                  << "";
        QTest::newRow("already active mode again") << 0 << int(Qt::LeftButton) << 0 << "100"
                                                   << "你已选择 打字模式";
    }
    void modeButtons() {
        QFETCH(int, button);
        QFETCH(int, mouse);
        QFETCH(int, closePrompt);
        QFETCH(QString, flags);
        QFETCH(QString, notice);
        preset({{"TypingModel", 1},
                {"IntelligenceModel", 0},
                {"TranslationModel", 0},
                {"ClosePrompt", closePrompt},
                {"TypingLanguage", 3}});
        ConvenientTool tool;
        tool.show();
        QFile::remove("config.txt");
        QTest::mousePress(tool.findChild<QPushButton*>(kModeButtons[button]), Qt::MouseButton(mouse));
        const QMap<QString, int> file = saved();
        QCOMPARE(QString("%1%2%3")
                     .arg(file.value("TypingModel", 9))
                     .arg(file.value("IntelligenceModel", 9))
                     .arg(file.value("TranslationModel", 9)),
                 flags);
        QCOMPARE(file.value("TypingLanguage"), 3); // languages untouched
        QVERIFY(!tool.isVisible());
        QCOMPARE(tool.promptBox()->isVisible(), !notice.isEmpty());
        if (!notice.isEmpty()) {
            QCOMPARE(tool.promptBox()->text(), notice);
            QTRY_VERIFY_WITH_TIMEOUT(!tool.promptBox()->isVisible(), 2000);
        }
    }

    void refreshShowsActiveMode_data() {
        QTest::addColumn<QVector<int>>("flags");
        QTest::addColumn<QString>("active");
        QTest::newRow("typing") << QVector<int>{1, 0, 0} << "100";
        QTest::newRow("intelligent") << QVector<int>{0, 1, 0} << "010";
        QTest::newRow("typing and translation: the last wins") << QVector<int>{1, 0, 1} << "001";
        QTest::newRow("all three") << QVector<int>{1, 1, 1} << "001";
        QTest::newRow("none keeps the looks") << QVector<int>{0, 0, 0} << "010";
    }
    void refreshShowsActiveMode() {
        QFETCH(QVector<int>, flags);
        QFETCH(QString, active);
        preset({{"TypingModel", 0}, {"IntelligenceModel", 1}, {"TranslationModel", 0}});
        ConvenientTool tool;
        QCOMPARE(activeButtons(tool), QString("010"));
        preset({{"TypingModel", flags[0]}, {"IntelligenceModel", flags[1]}, {"TranslationModel", flags[2]}});
        tool.refreshLooks();
        QCOMPARE(activeButtons(tool), active);
    }

    void looksFollowTheStoreWithinOneTick() {
        preset({{"TypingModel", 1}});
        ConvenientTool tool;
        QCOMPARE(activeButtons(tool), QString("100"));
        preset({{"TypingModel", 0}, {"TranslationModel", 1}});
        QTRY_COMPARE_WITH_TIMEOUT(activeButtons(tool), QString("001"), 3000);
    }

    void leavingHides() {
        ConvenientTool tool;
        tool.show();
        QEvent leave(QEvent::Leave);
        QApplication::sendEvent(tool.findChild<QPushButton*>("pushButton"), &leave);
        QVERIFY(tool.isVisible()); // leaving a button inside the strip is no leave of the strip
        QApplication::sendEvent(&tool, &leave);
        QVERIFY(!tool.isVisible());
    }

    void settingsButton() {
        ConvenientTool tool;
        tool.show();
        QSignalSpy spy(&tool, &ConvenientTool::showSoftwareSettings);
        tool.findChild<QPushButton*>("pushButton_4")->click();
        QCOMPARE(spy.count(), 1);
        QVERIFY(!tool.isVisible());
        QVERIFY(!QFile::exists("config.txt"));
    }
};

QTEST_MAIN(TestConvenientTool)
#include "tst_convenienttool.moc"
