#include "UiTestSupport.h"
#include "tests/support/Rows.h"

namespace {
const QRegularExpression kStamp("^\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d$");
const QSystemTrayIcon::ActivationReason kClick = QSystemTrayIcon::Trigger;
const QMap<QChar, QSystemTrayIcon::ActivationReason> kReasons{
    {'c', kClick}, {'d', QSystemTrayIcon::DoubleClick}, {'m', QSystemTrayIcon::Context}};
const auto label = [](QWidget& w, const char* name) { return UiTest::child<QLabel>(w, name)->text(); };
const auto setConnected = [](int value) { ConfigStore::instance()["MonitorZorvelMouseConnect"] = value; };
// The pointer is read from 'at'; the tray icon stands at (1000, 700), 24 x 24.
void placeTray(MainWindow& window, QPoint& at) {
    window.setPointerSource([&at] { return at; });
    window.tray()->setGeometryOverride(QRect(1000, 700, 24, 24));
}
} // namespace

class TestMainWindow : public UiTest {
    Q_OBJECT
private slots:
    // Starts hidden; closing only hides it, and the log keeps every time-stamped line.
    void logAndClosing() {
        MainWindow window;
        QVERIFY(!window.isVisible());
        window.appendActivity("打字模式：你好");
        QTextDocument* doc = window.logView()->document();
        QCOMPARE(doc->blockCount(), 2);
        QCOMPARE(doc->firstBlock().text().mid(19), QString("  主程序启动"));
        QCOMPARE(doc->lastBlock().text().mid(19), QString("  打字模式：你好"));
        QVERIFY(kStamp.match(doc->lastBlock().text().left(19)).hasMatch());
        menuEntry(window.tray()->menu(), "打开主窗口")->trigger();
        QVERIFY(window.isVisible());
        QVERIFY(!window.close());
        QVERIFY(!window.isVisible());
        window.showWindow();
        QVERIFY(window.logView()->toPlainText().contains("打字模式：你好"));
        // No tray here (offscreen): the menu bar offers the tray menu's entries, quit included.
        QMenu* first = window.menuBar()->actions().value(0)->menu();
        QVERIFY(first && first->actions() == window.tray()->menu()->actions());
    }
    // Values other than 0 and 1 keep the connection text; the timer refreshes it too.
    void statusRefresh() {
        const QString on("Zorvel鼠标已连接"), off("鼠标或声卡驱动异常");
        MainWindow window;
        for (const auto& [state, text] : QVector<QPair<int, QString>>{{1, on}, {2, on}, {0, off}, {2, off}}) {
            setConnected(state);
            window.refreshStatus();
            QCOMPARE(label(window, "connectionLabel"), text);
        }
        QCOMPARE(label(window, "loginLabel"), QString("未登录"));
        QVERIFY(kStamp.match(label(window, "clockLabel")).hasMatch());
        setConnected(1);
        QTRY_COMPARE_WITH_TIMEOUT(label(window, "connectionLabel"), on, 3000);
    }
    // Each step and whether the panel is open after it: 'c' left click on the tray icon, 'x' the
    // panel's own exit button, 'd' a double click, 'm' a context-menu click.
    void trayClickCounter_data() {
        const Rows<QString> row;
        row("open and close", "c1c0");
        row("closed by its own button", "c1x0c0c1");
        row("other reasons do not count", "d0m0c1d1m1");
    }
    void trayClickCounter() {
        const auto [steps] = Rows<QString>::fetch();
        MainWindow window;
        if (MainWindow::trayClickCount() % 2 == 1) // the count lives for the whole process
            window.SystemTrayActivated(kClick);
        for (int i = 0; i < steps.size(); i += 2) {
            const int before = MainWindow::trayClickCount();
            const QChar step = steps[i];
            if (step == 'x')
                click(*window.quickGuide(), "exitButton");
            else
                emit window.tray()->activated(kReasons[step]);
            QCOMPARE(MainWindow::trayClickCount(), before + (step == 'c' ? 1 : 0));
            QCOMPARE(window.quickGuide() != nullptr, steps[i + 1] == '1');
            QCOMPARE(window.quickGuide() && window.quickGuide()->isVisible(), steps[i + 1] == '1');
        }
        dropClosed();
        QCOMPARE(topLevelCount("QuickGuidePanel"), steps.endsWith('1') ? 1 : 0);
    }
    // Strict bounds: the icon (1000..1024, 700..724), then the strip (900..1140, 670..700).
    void hoverRule_data() {
        const Rows<QList<QPoint>, bool> row;
        row("inside the icon", {{1010, 710}}, true);
        row("on the icon's left edge", {{1000, 710}}, false);
        row("on the icon's bottom edge", {{1010, 724}}, false);
        row("on the icon's right edge", {{1024, 710}}, false);
        row("up into the strip", {{1010, 710}, {950, 690}}, true);
        row("strip's right end", {{1010, 710}, {1139, 671}}, true);
        row("strip's left edge", {{1010, 710}, {900, 690}}, false);
        row("strip's top edge", {{1010, 710}, {950, 670}}, false);
        row("level with the icon top", {{1010, 710}, {950, 700}}, false);
        row("strip without hovering first", {{950, 690}}, false);
        row("left and came back", {{1010, 710}, {500, 500}, {950, 690}}, false);
    }
    void hoverRule() {
        const auto [pointer, visible] = Rows<QList<QPoint>, bool>::fetch();
        MainWindow window;
        QPoint at(0, 0);
        placeTray(window, at);
        window.tray()->refresh(); // pointer far away: flag back to 0
        QCOMPARE(MainWindow::hoverFlag(), 0);
        for (const QPoint& point : pointer) {
            at = point;
            window.tray()->refresh();
        }
        QCOMPARE(window.floatingModeBar()->isVisible(), visible);
        QCOMPARE(MainWindow::hoverFlag(), visible ? 1 : 0);
        if (visible)
            QCOMPARE(window.floatingModeBar()->pos(), QPoint(900, 670));
    }
    // The hover rule wakes when the pointer comes to rest on the icon (the tray's tooltip event)
    // and sleeps again once the pointer has left icon and strip: idle, nothing asks for it.
    void hoverStepsOnlyWhileHovering() {
        MainWindow window;
        QPoint at(1010, 710);
        placeTray(window, at);
        int steps = 0;
        connect(window.tray(), &SystemTray::trayPosition, [&steps] { ++steps; });
        QTest::qWait(700);
        QCOMPARE(steps, 0);
        QHelpEvent rest(QEvent::ToolTip, QPoint(), at);
        QCoreApplication::sendEvent(window.tray(), &rest);
        QVERIFY(window.floatingModeBar()->isVisible());
        at = QPoint(10, 10);
        QTRY_VERIFY_WITH_TIMEOUT(!window.floatingModeBar()->isVisible(), 3000);
        const int whileHovering = steps;
        QTest::qWait(700);
        QCOMPARE(steps, whileHovering);
    }
    // Every way to the settings dialog reuses the open one; the help window is replaced instead.
    void settingsReusedHelpReplaced() {
        MainWindow window;
        QAction* entry = menuEntry(window.tray()->menu(), "软件设置");
        entry->trigger();
        QPointer<SettingsDialog> first = window.settingsDialog();
        QVERIFY(first && first->isVisible());
        entry->trigger();
        click(*window.floatingModeBar(), "settingsButton");
        window.showLeftMouseEvent(); // at the right screen edge
        const QSize desktop = desktopSize();
        QCOMPARE(window.quickGuide()->pos(), QPoint(desktop.width() - 205, desktop.height() - 680));
        click(*window.quickGuide(), "otherLanguagesButton");
        QCOMPARE(window.settingsDialog(), first.data());
        QCOMPARE(topLevelCount("SettingsDialog"), 1);
        window.showHelp();
        QPointer<HelpDialog> help = window.helpDialog();
        window.showHelp();
        dropClosed();
        QVERIFY(!help);
        QCOMPARE(topLevelCount("HelpDialog"), 1);
        QCOMPARE(window.helpDialog()->pos(), QPoint(desktop.width() - 400, desktop.height() - 707));
        window.closeHelpDialog();
        window.closeHelpDialog(); // an empty holder: nothing happens
    }
    // Each window reports its closing; the holder is emptied and the window destroyed.
    void windowsCloseThroughTheirButtons_data() {
        const Rows<QString, QString> row;
        row("login", "用户登录", "closeButton");
        row("help", "help", "exitButton");
        row("quick guide", "guide", "exitButton");
        row("settings", "软件设置", "closeButton");
        row("custom commands", "自定义功能", "closeButton");
        row("about", "关于Zorvel", "okButton");
    }
    void windowsCloseThroughTheirButtons() {
        const auto [window, button] = Rows<QString, QString>::fetch();
        MainWindow main;
        const auto held = [&main] {
            QWidgetList open{main.helpDialog(),     main.quickGuide(),          main.loginDialog(),
                             main.settingsDialog(), main.customCommandEditor(), main.tray()->aboutWindow()};
            open.removeAll(nullptr);
            return open;
        };
        if (window == "help")
            main.helpAction()->trigger();
        else if (window == "guide")
            main.showLeftMouseEvent();
        else
            menuEntry(main.tray()->menu(), window)->trigger();
        QCOMPARE(held().size(), 1);
        QPointer<QWidget> opened = held()[0];
        QVERIFY(opened->isVisible());
        click(*opened, button);
        QVERIFY(held().isEmpty() && !opened->isVisible());
        dropClosed();
        QVERIFY(!opened);
    }
};

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
