#include "UiTestSupport.h"

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
        QTest::addColumn<QString>("steps");
        QTest::newRow("open and close") << "c1c0";
        QTest::newRow("closed by its own button") << "c1x0c0c1";
        QTest::newRow("other reasons do not count") << "d0m0c1d1m1";
    }
    void trayClickCounter() {
        QFETCH(QString, steps);
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
        QTest::addColumn<QList<QPoint>>("pointer");
        QTest::addColumn<bool>("visible");
        QTest::newRow("inside the icon") << QList<QPoint>{{1010, 710}} << true;
        QTest::newRow("on the icon's left edge") << QList<QPoint>{{1000, 710}} << false;
        QTest::newRow("on the icon's bottom edge") << QList<QPoint>{{1010, 724}} << false;
        QTest::newRow("up into the strip") << QList<QPoint>{{1010, 710}, {950, 690}} << true;
        QTest::newRow("strip's right end") << QList<QPoint>{{1010, 710}, {1139, 671}} << true;
        QTest::newRow("strip's left edge") << QList<QPoint>{{1010, 710}, {900, 690}} << false;
        QTest::newRow("strip's top edge") << QList<QPoint>{{1010, 710}, {950, 670}} << false;
        QTest::newRow("level with the icon top") << QList<QPoint>{{1010, 710}, {950, 700}} << false;
        QTest::newRow("strip without hovering first") << QList<QPoint>{{950, 690}} << false;
        QTest::newRow("left and came back") << QList<QPoint>{{1010, 710}, {500, 500}, {950, 690}} << false;
    }
    void hoverRule() {
        QFETCH(QList<QPoint>, pointer);
        QFETCH(bool, visible);
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
    void hoverShowsTheToolWithinATick() {
        MainWindow window;
        QPoint at(1010, 710);
        placeTray(window, at);
        QTRY_VERIFY_WITH_TIMEOUT(window.floatingModeBar()->isVisible(), 3000);
        at = QPoint(10, 10);
        QTRY_VERIFY_WITH_TIMEOUT(!window.floatingModeBar()->isVisible(), 3000);
    }
    // Every way to the settings dialog reuses the open one.
    void settingsDialogIsReused() {
        MainWindow window;
        QAction* entry = menuEntry(window.tray()->menu(), "软件设置");
        entry->trigger();
        QPointer<SettingsDialog> first = window.settingsDialog();
        QVERIFY(first && first->isVisible());
        QCOMPARE(first->styleSheet(), QString("background-color: white"));
        entry->trigger();
        click(*window.floatingModeBar(), "settingsButton");
        window.showLeftMouseEvent(); // at the right screen edge
        const QSize desktop = desktopSize();
        QCOMPARE(window.quickGuide()->pos(), QPoint(desktop.width() - 205, desktop.height() - 680));
        QCOMPARE(window.quickGuide()->styleSheet(), QString("background-color: white"));
        click(*window.quickGuide(), "otherLanguagesButton");
        QCOMPARE(window.settingsDialog(), first.data());
        QCOMPARE(topLevelCount("SettingsDialog"), 1);
    }
    // Each window reports its closing; the holder is emptied and the window destroyed.
    void windowsCloseThroughTheirButtons_data() {
        QTest::addColumn<QString>("window");
        QTest::addColumn<QString>("button");
        QTest::newRow("login") << QString("用户登录") << "closeButton";
        QTest::newRow("help") << QString("help") << "exitButton";
        QTest::newRow("quick guide") << QString("guide") << "exitButton";
        QTest::newRow("settings") << QString("软件设置") << "closeButton";
        QTest::newRow("custom commands") << QString("自定义功能") << "closeButton";
        QTest::newRow("about") << QString("关于Zorvel") << "okButton";
    }
    void windowsCloseThroughTheirButtons() {
        QFETCH(QString, window);
        QFETCH(QString, button);
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
    void reopeningReplacesTheOpenWindow() {
        MainWindow main;
        main.showHelp();
        QPointer<HelpDialog> first = main.helpDialog();
        main.showHelp();
        QVERIFY(main.helpDialog() != first.data());
        dropClosed();
        QVERIFY(!first);
        QCOMPARE(topLevelCount("HelpDialog"), 1);
        const QSize desktop = desktopSize();
        QCOMPARE(main.helpDialog()->pos(), QPoint(desktop.width() - 400, desktop.height() - 707));
        click(*main.helpDialog(), "exitButton"); // closes the window on screen
        QVERIFY(!main.helpDialog());
        main.closeHelpDialog(); // an empty holder: nothing happens
    }
};

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
