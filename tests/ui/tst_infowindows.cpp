#include "UiTestSupport.h"
#include "platform/fake/FakeStartAtLogon.h"
#include "ui/AboutZorvel.h"
#include "ui/BasicSkillsWidget.h"
#include "ui/DesktopGeometry.h"
#include "ui/ImportantHintWidget.h"
#include "ui/InstruductionsWidget.h"
#include "ui/PromptMessageDialog.h"
#include "ui/UseIntructionsDialog.h"
#include "ui/UserLogInDialog.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QStackedWidget>

using namespace uitest;

namespace {
void click(QWidget& window, const char* name) {
    auto* button = window.findChild<QAbstractButton*>(QLatin1String(name));
    if (!button)
        qFatal("no button %s", name);
    button->click();
}

int page(QWidget& window, const char* stack = "stackedWidget") {
    return window.findChild<QStackedWidget*>(QLatin1String(stack))->currentIndex();
}

bool highlighted(const QLabel* row) {
    return row->x() == 10 && row->styleSheet().contains("13pt") &&
           row->styleSheet().contains("rgb(61, 102, 102)");
}
bool normal(const QLabel* row) {
    return row->x() == 30 && row->styleSheet().contains("10pt") &&
           row->styleSheet().contains("rgb(52, 52, 52)");
}

// Advances the process-wide carousel until the given row is the next to be highlighted.
void carouselTo(PromptMessageDialog& panel, int row) {
    while (PromptMessageDialog::carouselStep() != row)
        panel.advanceCarousel();
}
} // namespace

class TestInfoWindows : public QObject {
    Q_OBJECT
    Fixture m_fixture;

private slots:
    void initTestCase() { installFontSubstitutions(); }
    void init() { m_fixture.init(); }
    void cleanup() { m_fixture.cleanup(); }

    void formsAndFlags_data() {
        QTest::addColumn<QString>("window");
        QTest::addColumn<QSize>("size");
        QTest::addColumn<bool>("toolTip");
        QTest::addColumn<bool>("shown"); // shows itself and is deleted on close
        QTest::newRow("quick guide") << "guide" << QSize(205, 580) << true << true;
        QTest::newRow("help") << "help" << QSize(400, 667) << true << true;
        QTest::newRow("first-use hint") << "hint" << QSize(400, 270) << false << false;
        QTest::newRow("operating steps") << "steps" << QSize(400, 670) << true << false;
        QTest::newRow("basic skills") << "skills" << QSize(555, 410) << true << false;
        QTest::newRow("about") << "about" << QSize(400, 270) << true << true;
        QTest::newRow("login") << "login" << QSize(390, 280) << true << true;
    }
    void formsAndFlags() {
        QFETCH(QString, window);
        QFETCH(QSize, size);
        QFETCH(bool, toolTip);
        QFETCH(bool, shown);
        FakeStartAtLogon logon;
        std::unique_ptr<QWidget> widget;
        if (window == "guide")
            widget.reset(new PromptMessageDialog);
        else if (window == "help")
            widget.reset(new UseIntructionsDialog);
        else if (window == "hint")
            widget.reset(new ImportantHintWidget(nullptr, &logon));
        else if (window == "steps")
            widget.reset(new InstruductionsWidget);
        else if (window == "skills")
            widget.reset(new BasicSkillsWidget);
        else if (window == "about")
            widget.reset(new AboutZorvel);
        else
            widget.reset(new UserLogInDialog);
        QCOMPARE(widget->size(), size);
        QVERIFY(widget->windowFlags() & Qt::FramelessWindowHint);
        QCOMPARE(widget->windowType(), toolTip ? Qt::ToolTip : Qt::Window);
        QCOMPARE(widget->isVisible(), shown);
        QCOMPARE(widget->testAttribute(Qt::WA_DeleteOnClose), shown);
        if (window == "guide")
            QVERIFY(widget->windowFlags() & Qt::WindowStaysOnTopHint);
    }

    void quickGuideButtons() {
        PromptMessageDialog panel;
        QCOMPARE(page(panel), 0);
        QSignalSpy settings(&panel, &PromptMessageDialog::showSoftwareSets);
        QSignalSpy closing(&panel, &PromptMessageDialog::closeDialog);
        click(panel, "pushButton_2");
        QCOMPARE(settings.count(), 1);
        click(panel, "pushButton");
        QCOMPARE(page(panel), 1);
        click(panel, "pushButton_3");
        QCOMPARE(page(panel), 0);
        QCOMPARE(closing.count(), 0);
        click(panel, "pushButton_4");
        QCOMPARE(closing.count(), 1);
        QCOMPARE(panel.sampleRow(1)->text(), QString("帮我找一下合肥市的餐馆"));
        QCOMPARE(panel.sampleRow(10)->text(), QString("帮我找一下去南京的路线"));
        for (int row = 1; row <= 10; ++row)
            QCOMPARE(panel.sampleRow(row)->y(), 34 + 48 * (row - 1));
    }

    void carouselStep_data() {
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("previous");
        QTest::addColumn<int>("next");
        QTest::newRow("first row returns the tenth") << 1 << 10 << 2;
        QTest::newRow("middle") << 5 << 4 << 6;
        QTest::newRow("tenth wraps to the first") << 10 << 9 << 1;
    }
    void carouselStep() {
        QFETCH(int, row);
        QFETCH(int, previous);
        QFETCH(int, next);
        PromptMessageDialog panel;
        carouselTo(panel, row);
        panel.advanceCarousel();
        QVERIFY(highlighted(panel.sampleRow(row)));
        QVERIFY(normal(panel.sampleRow(previous)));
        QCOMPARE(PromptMessageDialog::carouselStep(), next);
    }

    // The highlight moves one row per tick however often the page is opened, and a new panel
    // carries on from where the last one stopped.
    void carouselContinuesAcrossPanels() {
        int expected = 0;
        {
            PromptMessageDialog panel;
            carouselTo(panel, 4);
            click(panel, "pushButton");
            QTRY_COMPARE_WITH_TIMEOUT(PromptMessageDialog::carouselStep(), 5, 2500);
            QVERIFY(highlighted(panel.sampleRow(4)));
            click(panel, "pushButton_3");
            click(panel, "pushButton");
            // One timer only: two ticks take at least 2.5 s, not half that.
            QTest::qWait(1700);
            QVERIFY(PromptMessageDialog::carouselStep() <= 6);
            expected = PromptMessageDialog::carouselStep();
        }
        PromptMessageDialog again;
        QCOMPARE(PromptMessageDialog::carouselStep(), expected);
        QTest::qWait(1700);
        QCOMPARE(PromptMessageDialog::carouselStep(), expected); // no timer before "查看更多"
        click(again, "pushButton");
        QTRY_COMPARE_WITH_TIMEOUT(PromptMessageDialog::carouselStep(), expected + 1, 2500);
        QVERIFY(highlighted(again.sampleRow(expected)));
    }

    void helpTabs_data() {
        QTest::addColumn<QStringList>("clicks");
        QTest::addColumn<int>("page");
        QTest::addColumn<int>("inner");
        QTest::newRow("start") << QStringList{} << 0 << 0;
        QTest::newRow("installation") << QStringList{"pushButton_2"} << 1 << 0;
        QTest::newRow("questions") << QStringList{"pushButton_4"} << 3 << 0;
        QTest::newRow("details next page") << QStringList{"pushButton_3", "pushButton_6"} << 2 << 1;
        QTest::newRow("inner page kept across tabs")
            << QStringList{"pushButton_3", "pushButton_6", "pushButton", "pushButton_3"} << 2 << 1;
        QTest::newRow("previous page")
            << QStringList{"pushButton_3", "pushButton_6", "pushButton_7"} << 2 << 0;
    }
    void helpTabs() {
        QFETCH(QStringList, clicks);
        QFETCH(int, page);
        QFETCH(int, inner);
        UseIntructionsDialog help;
        for (const QString& name : clicks)
            click(help, name.toLatin1().constData());
        QCOMPARE(::page(help), page);
        QCOMPARE(::page(help, "stackedWidget_2"), inner);
        const char* const tabs[4] = {"pushButton", "pushButton_2", "pushButton_3", "pushButton_4"};
        for (int tab = 0; tab < 4; ++tab) {
            const QString look = help.findChild<QAbstractButton*>(tabs[tab])->styleSheet();
            QCOMPARE(look, tab == page ? UseIntructionsDialog::chosenTabLook()
                                       : UseIntructionsDialog::otherTabLook());
        }
        QSignalSpy closing(&help, &UseIntructionsDialog::closeDialog);
        click(help, "pushButton_5");
        QCOMPARE(closing.count(), 1);
    }

    void firstUseHintRegistersBeforeAnyClick() {
        FakeStartAtLogon logon;
        ImportantHintWidget hint(nullptr, &logon);
        QVERIFY(logon.present);
        QCOMPARE(saved().value("BootUp"), 1);
        QVERIFY(hint.findChild<QCheckBox*>("checkBox")->isChecked());
        hint.findChild<QCheckBox*>("checkBox")->click();
        QVERIFY(!logon.present);
        QCOMPARE(saved().value("BootUp"), 0);
        hint.findChild<QCheckBox*>("checkBox")->click();
        QVERIFY(logon.present);
        QCOMPARE(saved().value("BootUp"), 1);
    }

    void firstRunChainRunsBackAndForth() {
        FakeStartAtLogon logon;
        ImportantHintWidget hint(nullptr, &logon);
        hint.show();
        QVERIFY(!hint.instructions());
        click(hint, "pushButton");
        QVERIFY(!hint.isVisible());
        InstruductionsWidget* steps = hint.instructions();
        QVERIFY(steps);
        QCOMPARE(steps->parent(), &hint);
        QVERIFY(steps->isVisible());
        QCOMPARE(steps->pos(), desktopCentreOffset(200, 335));
        BasicSkillsWidget* skills = steps->basicSkills();
        QVERIFY(!skills->isVisible());
        QCOMPARE(skills->pos(), desktopCentreOffset(250, 195));
        for (int round = 0; round < 2; ++round) {
            click(*steps, "pushButton"); // 我学会啦
            QVERIFY(!steps->isVisible());
            QVERIFY(skills->isVisible());
            click(*skills, "pushButton"); // 上一步
            QVERIFY(!skills->isVisible());
            QVERIFY(steps->isVisible());
        }
        click(*steps, "pushButton");
        click(*skills, "pushButton_2"); // 记住啦
        QVERIFY(!skills->isVisible());
        QVERIFY(!steps->isVisible());
        QVERIFY(!hint.isVisible());
    }

    void aboutWindow() {
        AboutZorvel about;
        QStringList texts;
        for (QLabel* label : about.findChildren<QLabel*>())
            texts << label->text();
        QVERIFY(texts.contains("产品名称：Zorvel智能语音鼠标"));
        QVERIFY(texts.contains("产品版本：1.20"));
        QVERIFY(texts.join('\n').contains("Pelmora"));
        QSignalSpy closing(&about, &AboutZorvel::closeDialog);
        click(about, "pushButton");
        QCOMPARE(closing.count(), 1);
    }

    void loginDoesNothingButClose() {
        UserLogInDialog login;
        QCOMPARE(login.findChild<QLineEdit*>("lineEdit_2")->echoMode(), QLineEdit::Password);
        QSignalSpy closing(&login, &UserLogInDialog::closeDialog);
        login.findChild<QLineEdit*>("lineEdit")->setText("用户");
        QTest::keyClicks(login.findChild<QLineEdit*>("lineEdit_2"), "secret");
        click(login, "pushButton");
        click(login, "pushButton_2");
        QVERIFY(login.isVisible());
        QCOMPARE(closing.count(), 0);
        QVERIFY(QDir::current().entryList(QDir::Files).isEmpty()); // nothing stored
        click(login, "toolButton");
        QCOMPARE(closing.count(), 1);
    }
};

QTEST_MAIN(TestInfoWindows)
#include "tst_infowindows.moc"
