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
    // normal.
    void carousel() {
        QuickGuidePanel panel;
        carouselTo(panel, 10);
        panel.advanceCarousel();
        QCOMPARE(QString() + look(panel.sampleRow(9)) + look(panel.sampleRow(10)), QString("NH"));
        panel.advanceCarousel(); // the first row returns the tenth to normal
        QCOMPARE(QString() + look(panel.sampleRow(10)) + look(panel.sampleRow(1)), QString("NH"));
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
    // Without a speech server the first window says that only English works yet.
    void firstRunHintNamesTheMissingServer_data() {
        const Rows<QByteArray, bool> row; // services.ini, hint shown
        row("offline engine despite an address", "[speech]\nengine=offline\nurl=http://127.0.0.1:9\n", true);
        row("server address", "[speech]\nurl=http://127.0.0.1:9\n", false);
    }
    void firstRunHintNamesTheMissingServer() {
        const auto [services, shown] = Rows<QByteArray, bool>::fetch();
        writeServices(services);
        FakeStartAtLogon logon;
        FirstRunHint hint(nullptr, &logon);
        hint.show();
        QCOMPARE(child<QLabel>(hint, "speechHintLabel")->isVisible(), shown);
    }
    // The login window only looks the part: its login button does not close it.
    void loginDoesNothing() {
        LoginDialog login;
        click(login, "loginButton");
        QVERIFY(login.isVisible());
    }
};

QTEST_MAIN(TestInfoWindows)
#include "tst_infowindows.moc"
