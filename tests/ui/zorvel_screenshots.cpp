// Renders every window of the user interface and the tray menus to PNG files, so that the look can
// be reviewed without a desktop: zorvel_screenshots [output folder, default "screenshots"]. Runs on any Qt
// platform (the offscreen one needs no display), in a temporary folder so that no settings are touched.
#include "app/ConfigStore.h"
#include "app/FontSetup.h"
#include "platform/fake/FakeStartAtLogon.h"
#include "services/UpdateAtStartDialog.h"
#include "services/UpdateReminder.h"
#include "ui/AboutDialog.h"
#include "ui/FirstRunHint.h"
#include "ui/FirstRunSkills.h"
#include "ui/FirstRunSteps.h"
#include "ui/FloatingModeBar.h"
#include "ui/MainWindow.h" // with the windows it opens
#include "ui/SystemTray.h"

#include <QtWidgets>

namespace {
QString g_out;
bool g_ok = true;
void save(QWidget* widget, const QString& name) {
    QApplication::processEvents();
    const QString path = g_out + QLatin1Char('/') + name + QStringLiteral(".png");
    const bool saved = widget->grab().save(path);
    QTextStream(saved ? stdout : stderr) << (saved ? "" : "save failed: ") << path << '\n';
    g_ok = g_ok && saved;
}
void click(QWidget* root, const char* name) {
    root->findChild<QAbstractButton*>(QLatin1String(name))->click();
}
void saveMenu(QMenu* menu, const QString& name) {
    menu->popup(QPoint(0, 0));
    save(menu, name);
    menu->hide();
}
} // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    installFontSubstitutions();
    g_out = QDir(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("screenshots")).absolutePath();
    QDir().mkpath(g_out);
    QTemporaryDir work;
    QDir::setCurrent(work.path());
    writeDefaultConfig();
    ConfigStore::instance().reload();
    ConfigStore::instance()["MonitorZorvelMouseConnect"] = 1;
    FakeStartAtLogon logon;
    MainWindow main;
    main.appendActivity(QStringLiteral("打字模式：你好，世界"));
    main.refreshStatus();
    main.showWindow();
    save(&main, QStringLiteral("01-main-window"));
    main.tray()->refresh();
    saveMenu(main.tray()->menu(), QStringLiteral("02-tray-menu"));
    for (QAction* action : main.tray()->menu()->actions())
        if (action->menu())
            saveMenu(action->menu(), QStringLiteral("02-tray-menu-") + action->text());
    main.showFloatingModeBar();
    save(main.floatingModeBar(), QStringLiteral("03-floating-tool"));
    SettingsDialog settings(nullptr, &logon);
    settings.setStyleSheet(QStringLiteral("background-color: white"));
    save(&settings, QStringLiteral("04-settings"));
    // The speech group with a server filled in and a tested connection.
    auto* engine = settings.findChild<QComboBox*>(QStringLiteral("speechEngineCombo"));
    engine->setCurrentIndex(1);
    emit engine->activated(1);
    settings.findChild<QLineEdit*>(QStringLiteral("speechUrlEdit"))
        ->setText(QStringLiteral("http://192.168.1.20:8000"));
    settings.findChild<QLineEdit*>(QStringLiteral("speechKeyEdit"))->setText(QStringLiteral("secret"));
    settings.findChild<QLabel*>(QStringLiteral("speechStatusLabel"))
        ->setText(QStringLiteral("一秒静音：已应答，用时 412 毫秒：（无文字）\n"
                                 "最近一次录音：已应答，用时 655 毫秒：“打开计算器”"));
    save(&settings, QStringLiteral("04-settings-speech"));
    main.showLeftMouseEvent();
    save(main.quickGuide(), QStringLiteral("05-quick-guide"));
    click(main.quickGuide(), "moreButton");
    for (int i = 0; i < 3; ++i)
        main.quickGuide()->advanceCarousel();
    save(main.quickGuide(), QStringLiteral("05-quick-guide-more"));
    main.showHelp();
    const char* const tabs[4] = {"stepsTabButton", "installTabButton", "detailsTabButton",
                                 "questionsTabButton"};
    for (int tab = 0; tab < 4; ++tab) {
        click(main.helpDialog(), tabs[tab]);
        save(main.helpDialog(), QStringLiteral("06-help-%1").arg(tab + 1));
    }
    click(main.helpDialog(), "detailsTabButton");
    click(main.helpDialog(), "nextDetailButton");
    save(main.helpDialog(), QStringLiteral("06-help-3b"));
    FirstRunHint hint(nullptr, &logon);
    hint.show();
    save(&hint, QStringLiteral("07-first-run-hint"));
    click(&hint, "okButton");
    save(hint.instructions(), QStringLiteral("08-first-run-steps"));
    click(hint.instructions(), "learnedButton");
    save(hint.instructions()->firstRunSkills(), QStringLiteral("09-first-run-skills"));
    main.tray()->showAboutUs();
    save(main.tray()->aboutWindow(), QStringLiteral("10-about"));
    main.showLogIn();
    save(main.loginDialog(), QStringLiteral("11-login"));
    main.showCustomFunc();
    save(main.customCommandEditor(), QStringLiteral("12-custom-commands"));
    UpdateAtStartDialog updateNow;
    updateNow.show();
    save(&updateNow, QStringLiteral("13-update-at-start"));
    UpdateReminder reminder;
    reminder.show();
    save(&reminder, QStringLiteral("14-update-reminder"));
    return g_ok ? 0 : 1;
}
