#include "UiTestSupport.h"
#include "tests/support/Rows.h"

namespace {
int page(QWidget& window, const char* stack = "pages") {
    return UiTest::child<QStackedWidget>(window, stack)->currentIndex();
}
// The look of a carousel row: 'H' highlighted, 'N' normal, '?' anything else.
char look(const QLabel* row) {
    const QString style = row->styleSheet();
    if (row->x() == 10 && style.contains("13pt") && style.contains("rgb(61, 102, 102)"))
        return 'H';
    return row->x() == 30 && style.contains("10pt") && style.contains("rgb(52, 52, 52)") ? 'N' : '?';
}
// Advances the process-wide carousel until the given row is the next to be highlighted.
void carouselTo(QuickGuidePanel& panel, int row) {
    while (QuickGuidePanel::carouselStep() != row)
        panel.advanceCarousel();
}
} // namespace

class TestInfoWindows : public UiTest {
    Q_OBJECT
private slots:
    // Each tick highlights the row and returns the one before it (the tenth before the first) to
    // normal. The highlight moves one row per tick however often the page is opened, and a new
    // panel carries on from where the last one stopped.
    void carousel() {
        int expected = 0;
        {
            QuickGuidePanel panel;
            carouselTo(panel, 10);
            panel.advanceCarousel();
            QCOMPARE(QString() + look(panel.sampleRow(9)) + look(panel.sampleRow(10)), QString("NH"));
            QCOMPARE(QuickGuidePanel::carouselStep(), 1);
            panel.advanceCarousel(); // the first row returns the tenth to normal
            QCOMPARE(QString() + look(panel.sampleRow(10)) + look(panel.sampleRow(1)), QString("NH"));
            QCOMPARE(QuickGuidePanel::carouselStep(), 2);
            carouselTo(panel, 4);
            click(panel, "moreButton");
            QCOMPARE(page(panel), 1);
            QTRY_COMPARE_WITH_TIMEOUT(QuickGuidePanel::carouselStep(), 5, 2500);
            QCOMPARE(look(panel.sampleRow(4)), 'H');
            click(panel, "backButton");
            QCOMPARE(page(panel), 0);
            click(panel, "moreButton");
            // One timer only: two ticks take at least 2.5 s, not half that.
            QTest::qWait(1700);
            QVERIFY(QuickGuidePanel::carouselStep() <= 6);
            expected = QuickGuidePanel::carouselStep();
        }
        QuickGuidePanel again;
        QCOMPARE(QuickGuidePanel::carouselStep(), expected);
        QTest::qWait(1700);
        QCOMPARE(QuickGuidePanel::carouselStep(), expected); // no timer before "查看更多"
        click(again, "moreButton");
        QTRY_COMPARE_WITH_TIMEOUT(QuickGuidePanel::carouselStep(), expected + 1, 2500);
        QCOMPARE(look(again.sampleRow(expected)), 'H');
    }
    // Each step: the button clicked, then the page and the inner page of "详细说明" shown.
    void helpTabs() {
        HelpDialog help;
        const QStringList tabs{"stepsTabButton", "installTabButton", "detailsTabButton",
                               "questionsTabButton"};
        const QString chosen = HelpDialog::chosenTabLook(), other = HelpDialog::otherTabLook();
        const QVector<std::tuple<QString, int, int>> steps{
            {"stepsTabButton", 0, 0},      {"questionsTabButton", 3, 0}, {"detailsTabButton", 2, 0},
            {"nextDetailButton", 2, 1},    {"stepsTabButton", 0, 1},     {"detailsTabButton", 2, 1},
            {"previousDetailButton", 2, 0}};
        for (const auto& [button, page, inner] : steps) {
            click(help, button);
            QCOMPARE(::page(help), page);
            QCOMPARE(::page(help, "detailPages"), inner);
            for (int tab = 0; tab < 4; ++tab)
                QCOMPARE(child(help, tabs[tab])->styleSheet(), tab == page ? chosen : other);
        }
    }
    // Without a speech server the first window says that only English works yet, and where to
    // set a server; with one it keeps its first size.
    void firstRunHintNamesTheMissingServer_data() {
        const Rows<QByteArray, bool> row; // services.ini, hint shown
        row("no speech server", "", true);
        row("server address", "[speech]\nurl=http://127.0.0.1:9\n", false);
    }
    void firstRunHintNamesTheMissingServer() {
        const auto [services, shown] = Rows<QByteArray, bool>::fetch();
        writeServices(services);
        FakeStartAtLogon logon;
        FirstRunHint hint(nullptr, &logon);
        hint.show();
        auto* line = child<QLabel>(hint, "speechHintLabel");
        QCOMPARE(line->isVisible(), shown);
        QVERIFY(line->text().contains("软件设置 → 语音识别"));
        QCOMPARE(hint.height(), shown ? 330 : 270);
        QVERIFY(child(hint, "okButton")->geometry().bottom() < hint.height());
    }
    void firstRunChainRunsBackAndForth() {
        FakeStartAtLogon logon;
        FirstRunHint hint(nullptr, &logon);
        for (int bootUp : {1, 0, 1}) { // registered on construction, before any click
            QCOMPARE(logon.present, bootUp == 1);
            QCOMPARE(saved().value("BootUp"), bootUp);
            QCOMPARE(child(hint, "startAtLogonCheck")->isChecked(), bootUp == 1);
            click(hint, "startAtLogonCheck");
        }
        hint.show();
        QVERIFY(!hint.instructions());
        click(hint, "okButton");
        QVERIFY(!hint.isVisible());
        FirstRunSteps* steps = hint.instructions();
        QVERIFY(steps && steps->isVisible());
        QCOMPARE(steps->parent(), &hint);
        QCOMPARE(steps->pos(), desktopCentreOffset(200, 335));
        FirstRunSkills* skills = steps->firstRunSkills();
        QVERIFY(!skills->isVisible());
        QCOMPARE(skills->pos(), desktopCentreOffset(250, 195));
        for (int round = 0; round < 2; ++round) {
            click(*steps, "learnedButton"); // 我学会啦
            QVERIFY(!steps->isVisible() && skills->isVisible());
            click(*skills, "backButton"); // 上一步
            QVERIFY(!skills->isVisible() && steps->isVisible());
        }
        click(*steps, "learnedButton");
        click(*skills, "gotItButton"); // 记住啦
        QVERIFY(!skills->isVisible() && !steps->isVisible() && !hint.isVisible());
    }
    void loginDoesNothingButClose() {
        LoginDialog login;
        QCOMPARE(child<QLineEdit>(login, "passwordEdit")->echoMode(), QLineEdit::Password);
        QSignalSpy closing(&login, &LoginDialog::closeDialog);
        child<QLineEdit>(login, "userNameEdit")->setText("用户");
        QTest::keyClicks(child<QLineEdit>(login, "passwordEdit"), "secret");
        click(login, "loginButton");
        click(login, "registerButton");
        QVERIFY(login.isVisible());
        QCOMPARE(closing.count(), 0);
        QVERIFY(QDir::current().entryList(QDir::Files).isEmpty()); // nothing stored
    }
};

QTEST_MAIN(TestInfoWindows)
#include "tst_infowindows.moc"
