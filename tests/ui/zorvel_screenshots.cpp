// Renders every window of the user interface and the tray menu to PNG files, so that the look can
// be reviewed without a desktop: zorvel_screenshots <output folder>. Runs on any Qt platform; the
// offscreen one needs no display. Works in a temporary folder so that no settings are touched.
#include "app/ConfigStore.h"
#include "app/FontSetup.h"
#include "platform/fake/FakeStartAtLogon.h"
#include "ui/AboutZorvel.h"
#include "ui/BasicSkillsWidget.h"
#include "ui/ConvenientTool.h"
#include "ui/ImportantHintWidget.h"
#include "ui/InstruductionsWidget.h"
#include "ui/MainWindow.h"
#include "ui/PromptMessageDialog.h"
#include "ui/SoftwareSettingsDialog.h"
#include "ui/SystemTray.h"
#include "ui/UseIntructionsDialog.h"
#include "ui/UserLogInDialog.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QMenu>
#include <QStackedWidget>
#include <QTemporaryDir>
#include <QTextStream>
#include <QtDebug>

namespace {
QString g_out;
int g_failures = 0;

void save(QWidget* widget, const QString& name) {
    QApplication::processEvents();
    const QString path = g_out + QLatin1Char('/') + name + QStringLiteral(".png");
    if (!widget->grab().save(path)) {
        qWarning().noquote() << "Screenshots , save failed :" << path;
        ++g_failures;
        return;
    }
    QTextStream(stdout) << path << '\n';
}

void click(QWidget* root, const char* buttonName) {
    if (auto* button = root->findChild<QAbstractButton*>(QLatin1String(buttonName)))
        button->click();
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
    if (argc < 2) {
        QTextStream(stderr) << "usage: zorvel_screenshots <output folder>\n";
        return 2;
    }
    g_out = QDir(QString::fromLocal8Bit(argv[1])).absolutePath();
    QDir().mkpath(g_out);

    QTemporaryDir work;
    QDir::setCurrent(work.path());
    writeDefaultConfig();
    ConfigStore& store = ConfigStore::instance();
    store.reload();
    store["MonitorZorvelMouseConnect"] = 1;
    store["ClosePrompt"] = 1;
    store.save();
    FakeStartAtLogon logon;

    MainWindow main;
    main.setMianWindowLog(QStringLiteral("打字模式：你好，世界"));
    main.setMianWindowLog(QStringLiteral("智能模式：打开计算器"));
    main.refreshStatus();
    main.showWindow();
    save(&main, QStringLiteral("01-main-window"));
    main.hide();

    main.tray()->refresh();
    saveMenu(main.tray()->menu(), QStringLiteral("02-tray-menu"));
    for (QAction* action : main.tray()->menu()->actions()) {
        if (action->menu())
            saveMenu(action->menu(), QStringLiteral("02-tray-menu-") + action->text());
    }

    main.showConvenientTool();
    save(main.convenientTool(), QStringLiteral("03-floating-tool"));
    main.convenientTool()->hide();

    SoftwareSettingsDialog* settings = new SoftwareSettingsDialog(nullptr, &logon);
    settings->setStyleSheet(QStringLiteral("background-color: white"));
    save(settings, QStringLiteral("04-settings"));
    settings->close();

    auto* guide = new PromptMessageDialog;
    guide->setStyleSheet(QStringLiteral("background-color: white"));
    save(guide, QStringLiteral("05-quick-guide"));
    click(guide, "pushButton");
    for (int i = 0; i < 3; ++i)
        guide->advanceCarousel();
    save(guide, QStringLiteral("05-quick-guide-more"));
    guide->close();

    auto* help = new UseIntructionsDialog;
    help->setStyleSheet(QStringLiteral("background-color: white"));
    const char* const tabs[4] = {"pushButton", "pushButton_2", "pushButton_3", "pushButton_4"};
    for (int tab = 0; tab < 4; ++tab) {
        click(help, tabs[tab]);
        save(help, QStringLiteral("06-help-%1").arg(tab + 1));
    }
    click(help, "pushButton_3");
    click(help, "pushButton_6");
    save(help, QStringLiteral("06-help-3b"));
    help->close();

    ImportantHintWidget hint(nullptr, &logon);
    hint.show();
    save(&hint, QStringLiteral("07-first-run-hint"));
    click(&hint, "pushButton");
    save(hint.instructions(), QStringLiteral("08-first-run-steps"));
    hint.instructions()->basicSkills()->show();
    save(hint.instructions()->basicSkills(), QStringLiteral("09-first-run-skills"));

    auto* about = new AboutZorvel;
    save(about, QStringLiteral("10-about"));
    about->close();

    auto* login = new UserLogInDialog;
    login->setStyleSheet(QStringLiteral("background-color: white"));
    save(login, QStringLiteral("11-login"));
    login->close();

    return g_failures == 0 ? 0 : 1;
}
