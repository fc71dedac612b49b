#include "UiTestSupport.h"
#include "app/UiLanguage.h"
#include "tests/support/Rows.h"

namespace {
QByteArray contents(const QString& name) {
    QFile file(name);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Chooses an entry of the interface-language list as the user does, and lets the open windows
// hear of it.
void chooseLanguage(QComboBox* list, int index) {
    list->setCurrentIndex(index);
    emit list->activated(index);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::LanguageChange);
}
} // namespace

class TestUiLanguage : public UiTest {
    Q_OBJECT
private slots:
    void init() {
        UiTest::init();
        writeDefaultConfig();
        ConfigStore::instance().reload();
    }
    void cleanup() {
        UiLanguage::apply(UiLanguage::Chinese);
        UiTest::cleanup();
    }

    // The desktop's locale, and the [ui] line of services.ini: English windows or not.
    void followsDesktopUnlessChosen_data() {
        const Rows<QString, QByteArray, bool> row;
        row("Chinese desktop", "zh_CN", "", false);
        row("Taiwanese desktop", "zh_TW", "language = system", false);
        row("American desktop", "en_US", "", true);
        row("German desktop", "de_DE", "", true);
        row("C locale", "C", "", true);
        row("English chosen on a Chinese desktop", "zh_CN", "language=en", true);
        row("Chinese chosen on an English desktop", "en_US", "language=zh", false);
        row("an unknown choice follows the desktop", "zh_CN", "language=fr", false);
    }
    void followsDesktopUnlessChosen() {
        const auto [locale, line, english] = Rows<QString, QByteArray, bool>::fetch();
        writeServices("[ui]\n" + line + "\n");
        QCOMPARE(UiLanguage::englishFor(UiLanguage::choice(), QLocale(locale)), english);
    }

    // The choice in the settings dialog applies at once to the open windows and the tray menu, and
    // goes to [ui] of services.ini; config.txt keeps its keys.
    void settingsChoiceRetitlesOpenWindows() {
        writeServices("; mine\n[speech]\nengine=offline\n");
        MainWindow main;
        main.showSoftwareSetting();
        const QByteArray config = contents(QStringLiteral("config.txt"));
        auto* list = child<QComboBox>(*main.settingsDialog(), "interfaceLanguageCombo");
        auto* title = child<QLabel>(*main.settingsDialog(), "titleLabel");
        QCOMPARE(title->text(), QStringLiteral("  软件设置"));

        chooseLanguage(list, UiLanguage::English);
        QCOMPARE(main.windowTitle(),
                 QStringLiteral("Zorvel mouse — speech technology by cloud speech services"));
        QCOMPARE(title->text(), QStringLiteral("  Settings"));
        QVERIFY(menuEntry(main.tray()->menu(), QStringLiteral("Open main window")));
        QCOMPARE(list->currentIndex(), int(UiLanguage::English));
        QCOMPARE(contents(QStringLiteral("services.ini")),
                 QByteArray("; mine\n[speech]\nengine=offline\n\n[ui]\nlanguage=en\n"));
        QCOMPARE(contents(QStringLiteral("config.txt")), config);

        chooseLanguage(list, UiLanguage::Chinese);
        QCOMPARE(main.windowTitle(), QStringLiteral("Zorvel鼠标——语音技术由云端语音服务提供"));
        QCOMPARE(title->text(), QStringLiteral("  软件设置"));
        QVERIFY(menuEntry(main.tray()->menu(), QStringLiteral("打开主窗口")));
        QCOMPARE(UiLanguage::choice(), UiLanguage::Chinese);
    }
};

QTEST_MAIN(TestUiLanguage)
#include "tst_uilanguage.moc"
