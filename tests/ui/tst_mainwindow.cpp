#include "UiTestSupport.h"
#include "ui/ConvenientTool.h"
#include "ui/DesktopGeometry.h"
#include "ui/MainWindow.h"
#include "ui/PromptMessageDialog.h"
#include "ui/SoftwareSettingsDialog.h"
#include "ui/SystemTray.h"
#include "ui/UseIntructionsDialog.h"
#include "ui/UserLogInDialog.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QRegularExpression>
#include <QTextBlock>
#include <QTextBrowser>

using namespace uitest;

namespace {
const QRegularExpression kStamp("^\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d$");

QString statusText(MainWindow& window, const char* name) {
    return window.findChild<QLabel*>(QLatin1String(name))->text();
}

int topLevelCount(const char* className) {
    int count = 0;
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (widget->inherits(className))
            ++count;
    }
    return count;
}

// The tray menu entry with the given text, searched through the sub-menus.
QAction* menuEntry(QMenu* menu, const QString& text) {
    for (QAction* action : menu->actions()) {
        if (action->text() == text)
            return action;
        if (action->menu())
            if (QAction* inner = menuEntry(action->menu(), text))
                return inner;
    }
    return nullptr;
}

void dropClosedWindows() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}
} // namespace

class TestMainWindow : public QObject {
    Q_OBJECT
    Fixture m_fixture;

private slots:
    void initTestCase() { installFontSubstitutions(); }
    void init() { m_fixture.init(); }
    void cleanup() { m_fixture.cleanup(); }

    void formAndFirstLogLine() {
        MainWindow window;
        QVERIFY(!window.isVisible());
        QCOMPARE(window.objectName(), QString("MainWindow"));
        QCOMPARE(window.windowTitle(), QString("Zorvel鼠标——语音技术由云端语音服务提供"));
        QCOMPARE(window.minimumSize(), QSize(835, 450));
        QCOMPARE(window.centralWidget(), window.logView());
        QVERIFY(window.findChild<QWidget*>("mainToolBar"));
        QCOMPARE(window.menuBar()->actions().size(), 1);
        QCOMPARE(window.menuBar()->actions()[0]->text(), QString("帮助"));
        QCOMPARE(window.helpAction()->text(), QString("使用说明"));
        const QString first = window.logView()->document()->firstBlock().text();
        QVERIFY2(first.endsWith("  主程序启动"), qPrintable(first));
        QVERIFY(kStamp.match(first.left(19)).hasMatch());
        QVERIFY(statusText(window, "spareLabel").isEmpty());
    }

    void logLinesAppendTimeStamped() {
        MainWindow window;
        window.setMianWindowLog("打字模式：你好");
        window.setMianWindowLog("second line");
        QTextDocument* doc = window.logView()->document();
        QCOMPARE(doc->blockCount(), 3);
        const QString line = doc->findBlockByNumber(1).text();
        QVERIFY(kStamp.match(line.left(19)).hasMatch());
        QCOMPARE(line.mid(19), QString("  打字模式：你好"));
        QCOMPARE(doc->lastBlock().text().mid(19), QString("  second line"));
    }

    void closingHidesAndKeepsTheLog() {
        MainWindow window;
        window.setMianWindowLog("kept");
        window.tray()->menu()->actions()[0]->trigger(); // 打开主窗口
        QVERIFY(window.isVisible());
        QVERIFY(!window.close());
        QVERIFY(!window.isVisible());
        window.showWindow();
        QVERIFY(window.isVisible());
        QVERIFY(window.logView()->toPlainText().contains("kept"));
    }

    void statusRefresh_data() {
        QTest::addColumn<QVector<int>>("states"); // MonitorZorvelMouseConnect, one refresh each
        QTest::addColumn<QString>("expected");
        QTest::newRow("connected") << QVector<int>{1} << "Zorvel鼠标已连接";
        QTest::newRow("not connected") << QVector<int>{0} << "鼠标或声卡驱动异常";
        QTest::newRow("2 keeps connected text") << QVector<int>{1, 2} << "Zorvel鼠标已连接";
        QTest::newRow("2 keeps missing text") << QVector<int>{1, 0, 2} << "鼠标或声卡驱动异常";
        QTest::newRow("2 from the start leaves it empty") << QVector<int>{2} << "";
    }
    void statusRefresh() {
        QFETCH(QVector<int>, states);
        QFETCH(QString, expected);
        MainWindow window;
        for (int state : states) {
            ConfigStore::instance()["MonitorZorvelMouseConnect"] = state;
            window.refreshStatus();
        }
        QCOMPARE(statusText(window, "connectionLabel"), expected);
        QCOMPARE(statusText(window, "loginLabel"), QString("未登录"));
        QVERIFY(kStamp.match(statusText(window, "clockLabel")).hasMatch());
    }

    void statusFollowsTheTimer() {
        MainWindow window;
        ConfigStore::instance()["MonitorZorvelMouseConnect"] = 1;
        QTRY_COMPARE_WITH_TIMEOUT(statusText(window, "connectionLabel"), QString("Zorvel鼠标已连接"), 3000);
        ConfigStore::instance()["MonitorZorvelMouseConnect"] = 0;
        QTRY_COMPARE_WITH_TIMEOUT(statusText(window, "connectionLabel"), QString("鼠标或声卡驱动异常"), 3000);
    }

    // Steps: 'c' left click on the tray icon, 'x' the panel's own exit button, 'd' a double
    // click, 'm' a context-menu click. Expected: whether the panel is open after each step.
    void trayClickCounter_data() {
        QTest::addColumn<QString>("steps");
        QTest::addColumn<QString>("open");
        QTest::newRow("open and close") << "cc"
                                        << "10";
        QTest::newRow("three clicks") << "ccc"
                                      << "101";
        QTest::newRow("closed by its own button") << "cxcc"
                                                  << "1001";
        QTest::newRow("other reasons do not count") << "dmcdm"
                                                    << "00111";
    }
    void trayClickCounter() {
        QFETCH(QString, steps);
        QFETCH(QString, open);
        MainWindow window;
        // The counter lives for the whole process: start from an even count.
        if (MainWindow::trayClickCount() % 2 == 1)
            window.SystemTrayActivated(QSystemTrayIcon::Trigger);
        QVERIFY(!window.promptMessage());
        for (int i = 0; i < steps.size(); ++i) {
            const QChar step = steps[i];
            const int before = MainWindow::trayClickCount();
            if (step == 'c')
                emit window.tray()->activated(QSystemTrayIcon::Trigger);
            else if (step == 'd')
                emit window.tray()->activated(QSystemTrayIcon::DoubleClick);
            else if (step == 'm')
                emit window.tray()->activated(QSystemTrayIcon::Context);
            else
                window.promptMessage()->findChild<QAbstractButton*>("pushButton_4")->click();
            QCOMPARE(MainWindow::trayClickCount(), before + (step == 'c' ? 1 : 0));
            const bool expectOpen = open[i] == '1';
            QCOMPARE(window.promptMessage() != nullptr, expectOpen);
            if (expectOpen)
                QVERIFY(window.promptMessage()->isVisible());
        }
        dropClosedWindows();
        QCOMPARE(topLevelCount("PromptMessageDialog"), window.promptMessage() ? 1 : 0);
    }

    // The tray icon stands at (1000, 700), 24 x 24; the strip's area is (900..1140, 670..700).
    void hoverRule_data() {
        QTest::addColumn<QList<QPoint>>("pointer");
        QTest::addColumn<bool>("visible");
        QTest::addColumn<int>("flag");
        QTest::newRow("inside the icon") << QList<QPoint>{{1010, 710}} << true << 1;
        QTest::newRow("on the icon's left edge") << QList<QPoint>{{1000, 710}} << false << 0;
        QTest::newRow("on the icon's bottom edge") << QList<QPoint>{{1010, 724}} << false << 0;
        QTest::newRow("up into the strip") << QList<QPoint>{{1010, 710}, {950, 690}} << true << 1;
        QTest::newRow("strip's right end") << QList<QPoint>{{1010, 710}, {1139, 671}} << true << 1;
        QTest::newRow("strip's left edge") << QList<QPoint>{{1010, 710}, {900, 690}} << false << 0;
        QTest::newRow("strip's top edge") << QList<QPoint>{{1010, 710}, {950, 670}} << false << 0;
        QTest::newRow("level with the icon top") << QList<QPoint>{{1010, 710}, {950, 700}} << false << 0;
        QTest::newRow("strip without hovering first") << QList<QPoint>{{950, 690}} << false << 0;
        QTest::newRow("left and came back to the strip")
            << QList<QPoint>{{1010, 710}, {500, 500}, {950, 690}} << false << 0;
    }
    void hoverRule() {
        QFETCH(QList<QPoint>, pointer);
        QFETCH(bool, visible);
        QFETCH(int, flag);
        MainWindow window;
        QPoint at(0, 0);
        window.setPointerSource([&] { return at; });
        window.tray()->setGeometryOverride(QRect(1000, 700, 24, 24));
        window.tray()->refresh(); // pointer far away: flag back to 0
        QCOMPARE(MainWindow::hoverFlag(), 0);
        for (const QPoint& point : pointer) {
            at = point;
            window.tray()->refresh();
        }
        QCOMPARE(window.convenientTool()->isVisible(), visible);
        QCOMPARE(MainWindow::hoverFlag(), flag);
        if (visible)
            QCOMPARE(window.convenientTool()->pos(), QPoint(900, 670));
    }

    void hoverShowsTheToolWithinATick() {
        MainWindow window;
        QPoint at(1010, 710);
        window.setPointerSource([&] { return at; });
        window.tray()->setGeometryOverride(QRect(1000, 700, 24, 24));
        QTRY_VERIFY_WITH_TIMEOUT(window.convenientTool()->isVisible(), 3000);
        at = QPoint(10, 10);
        QTRY_VERIFY_WITH_TIMEOUT(!window.convenientTool()->isVisible(), 3000);
    }

    // Every way to the settings dialog reuses the open one.
    void settingsDialogIsReused_data() {
        QTest::addColumn<QString>("second");
        QTest::newRow("tray entry") << "tray";
        QTest::newRow("floating tool") << "tool";
        QTest::newRow("quick guide") << "guide";
        QTest::newRow("slot") << "slot";
    }
    void settingsDialogIsReused() {
        QFETCH(QString, second);
        MainWindow window;
        window.tray()->menu()->actions()[5]->trigger(); // 软件设置
        QPointer<SoftwareSettingsDialog> first = window.softwareSettings();
        QVERIFY(first);
        QVERIFY(first->isVisible());
        QCOMPARE(first->styleSheet(), QString("background-color: white"));
        if (second == "tray") {
            window.tray()->menu()->actions()[5]->trigger();
        } else if (second == "tool") {
            window.convenientTool()->findChild<QAbstractButton*>("pushButton_4")->click();
        } else if (second == "guide") {
            window.showLeftMouseEvent();
            window.promptMessage()->findChild<QAbstractButton*>("pushButton_2")->click();
        } else {
            window.showSoftwareSetting();
        }
        QCOMPARE(window.softwareSettings(), first.data());
        QCOMPARE(topLevelCount("SoftwareSettingsDialog"), 1);

        first->findChild<QAbstractButton*>("pushButton_2")->click(); // 取消
        QVERIFY(!window.softwareSettings());
        dropClosedWindows();
        QVERIFY(!first);
        window.showSoftwareSetting();
        QVERIFY(window.softwareSettings());
    }

    void placements() {
        MainWindow window;
        const QSize desktop = desktopSize();
        window.showLeftMouseEvent();
        QCOMPARE(window.promptMessage()->pos(), QPoint(desktop.width() - 205, desktop.height() - 680));
        QCOMPARE(window.promptMessage()->styleSheet(), QString("background-color: white"));
        window.helpAction()->trigger();
        QVERIFY(window.helpDialog());
        QCOMPARE(window.helpDialog()->pos(), QPoint(desktop.width() - 400, desktop.height() - 707));
        window.tray()->setGeometryOverride(QRect(300, 400, 20, 20));
        window.tray()->refresh();
        window.showConvenientTool();
        QCOMPARE(window.convenientTool()->pos(), QPoint(200, 370));
        QVERIFY(window.convenientTool()->isVisible());
    }

    // Each window reports its closing; the holder is emptied and the window destroyed.
    void windowsCloseThroughTheirButtons_data() {
        QTest::addColumn<QString>("window");
        QTest::addColumn<QByteArray>("button");
        QTest::newRow("login") << "login" << QByteArray("toolButton");
        QTest::newRow("help") << "help" << QByteArray("pushButton_5");
        QTest::newRow("quick guide") << "guide" << QByteArray("pushButton_4");
        QTest::newRow("settings ok") << "settings" << QByteArray("pushButton");
        QTest::newRow("settings close") << "settings" << QByteArray("toolButton_2");
        QTest::newRow("custom commands") << "custom" << QByteArray("toolButton_3");
    }
    void windowsCloseThroughTheirButtons() {
        QFETCH(QString, window);
        QFETCH(QByteArray, button);
        MainWindow main;
        std::function<QWidget*()> held;
        if (window == "login") {
            main.tray()->menu()->actions()[6]->menu()->actions()[1]->trigger();
            held = [&]() -> QWidget* { return main.userLogIn(); };
        } else if (window == "help") {
            main.showHelp();
            held = [&]() -> QWidget* { return main.helpDialog(); };
        } else if (window == "custom") {
            QAction* entry = menuEntry(main.tray()->menu(), QStringLiteral("自定义功能"));
            QVERIFY(entry);
            entry->trigger();
            held = [&]() -> QWidget* { return main.customFunction(); };
        } else if (window == "guide") {
            main.showLeftMouseEvent();
            held = [&]() -> QWidget* { return main.promptMessage(); };
        } else {
            main.showSoftwareSetting();
            held = [&]() -> QWidget* { return main.softwareSettings(); };
        }
        QPointer<QWidget> opened = held();
        QVERIFY(opened);
        QVERIFY(opened->isVisible());
        opened->findChild<QAbstractButton*>(QString::fromLatin1(button))->click();
        QVERIFY(!held());
        QVERIFY(!opened->isVisible());
        dropClosedWindows();
        QVERIFY(!opened);
    }

    void reopeningReplacesTheOpenWindow() {
        MainWindow main;
        main.showHelp();
        QPointer<UseIntructionsDialog> first = main.helpDialog();
        main.showHelp();
        QVERIFY(main.helpDialog() != first.data());
        dropClosedWindows();
        QVERIFY(!first);
        QCOMPARE(topLevelCount("UseIntructionsDialog"), 1);
        // The exit button of the window on screen closes that window.
        main.helpDialog()->findChild<QAbstractButton*>("pushButton_5")->click();
        QVERIFY(!main.helpDialog());
    }

    void closingEmptyHoldersDoesNothing() {
        MainWindow main;
        main.closeSoftWareSet();
        main.closePromptMessage();
        main.closeCustomFun();
        main.closeHelpDialog();
        main.closeUserLogin();
        QVERIFY(!main.softwareSettings());
        QVERIFY(!main.customFunction());
    }
};

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
