#include "UiTestSupport.h"
#include "app/PromptBox.h"
#include "ui/AboutZorvel.h"
#include "ui/SystemTray.h"

#include <QAbstractButton>
#include <QActionGroup>
#include <QEventLoop>
#include <QMenu>

using namespace uitest;

namespace {
// Records the language notices the tray shows.
class RecordingTray : public SystemTray {
public:
    QStringList notices;

protected:
    void showNotice(const QString& text) override {
        notices << text;
        SystemTray::showNotice(text);
    }
};

const char* const kSelect = ":/ico/images/select.ico";
const char* const kEmpty = ":/ico/images/empty.ico";

// The language whose action carries the select mark, -1 when all five show the blank mark, -2
// when the marks are not a clean one-of-five, -3 when no mark was ever set.
int markedLanguage(const SystemTray& tray) {
    bool untouched = true;
    for (int value = 0; value < 5; ++value)
        untouched = untouched && tray.languageAction(value)->icon().isNull();
    if (untouched)
        return -3;
    int marked = -1;
    for (int value = 0; value < 5; ++value) {
        const QIcon icon = tray.languageAction(value)->icon();
        if (sameIcon(icon, kSelect)) {
            if (marked != -1)
                return -2;
            marked = value;
        } else if (!sameIcon(icon, kEmpty)) {
            return -2;
        }
    }
    return marked;
}

int checkedLanguage(const SystemTray& tray) {
    for (int value = 0; value < 5; ++value) {
        if (tray.languageAction(value)->isChecked())
            return value;
    }
    return -1;
}
} // namespace

class TestSystemTray : public QObject {
    Q_OBJECT
    Fixture m_fixture;

private slots:
    void initTestCase() { installFontSubstitutions(); }
    void init() { m_fixture.init(); }
    void cleanup() { m_fixture.cleanup(); }

    // Runs first: the warning is given once per process. The offscreen platform has no tray.
    void noTrayWarnsOnceAndCarriesOn() {
        QVERIFY(!QSystemTrayIcon::isSystemTrayAvailable());
        static QStringList warnings;
        const QtMessageHandler previous =
            qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& text) {
                if (type == QtWarningMsg && text.startsWith("System tray"))
                    warnings << text;
            });
        {
            SystemTray first;
            SystemTray second;
            QVERIFY(first.isVisible());
        }
        qInstallMessageHandler(previous);
        QCOMPARE(warnings.size(), 1);
    }

    void menuEntries() {
        SystemTray tray;
        const QList<QAction*> top = tray.menu()->actions();
        QStringList texts;
        for (QAction* action : top)
            texts << action->text();
        QCOMPARE(texts, QStringList({"打开主窗口", "关于Zorvel", "软件更新", "意见反馈", "购买产品",
                                     "软件设置", "个人中心", "语言设置", "退出"}));
        QCOMPARE(top[0]->font().weight(), 70);
        QVERIFY(top[6]->menu());
        QCOMPARE(top[6]->menu()->actions().size(), 2);
        QCOMPARE(top[6]->menu()->actions()[0]->text(), QString("自定义功能"));
        QCOMPARE(top[6]->menu()->actions()[1]->text(), QString("用户登录"));
        const QList<QAction*> languages = top[7]->menu()->actions();
        QCOMPARE(languages, tray.languageGroup()->actions());
        QStringList names;
        for (QAction* action : languages) {
            QVERIFY(action->isCheckable());
            names << action->text();
        }
        QCOMPARE(names, QStringList({"中文(普通话)", "英文", "粤语", "四川话", "河南话"}));
        QVERIFY(tray.languageGroup()->isExclusive());
        QCOMPARE(tray.contextMenu(), tray.menu());
    }

    void entriesEmitTheirSignals_data() {
        QTest::addColumn<QStringList>("path");
        QTest::addColumn<QByteArray>("signal");
        QTest::newRow("open main window") << QStringList{"打开主窗口"} << QByteArray(SIGNAL(showWidget()));
        QTest::newRow("settings") << QStringList{"软件设置"} << QByteArray(SIGNAL(showSoftwareSet()));
        QTest::newRow("custom") << QStringList{"个人中心", "自定义功能"}
                                << QByteArray(SIGNAL(showCustomFunction()));
        QTest::newRow("login") << QStringList{"个人中心", "用户登录"}
                               << QByteArray(SIGNAL(showPersonLogIn()));
    }
    void entriesEmitTheirSignals() {
        QFETCH(QStringList, path);
        QFETCH(QByteArray, signal);
        SystemTray tray;
        QSignalSpy spy(&tray, signal.constData());
        QMenu* menu = tray.menu();
        QAction* found = nullptr;
        for (const QString& step : path) {
            found = nullptr;
            for (QAction* action : menu->actions()) {
                if (action->text() == step)
                    found = action;
            }
            QVERIFY2(found, qPrintable(step));
            if (found->menu())
                menu = found->menu();
        }
        found->trigger();
        QCOMPARE(spy.count(), 1);
    }

    void aboutWindowOpensAndCloses() {
        SystemTray tray;
        tray.menu()->actions()[1]->trigger();
        QPointer<AboutZorvel> about = tray.aboutWindow();
        QVERIFY(about);
        QVERIFY(about->isVisible());
        about->findChild<QAbstractButton*>("pushButton")->click();
        QVERIFY(!tray.aboutWindow());
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!about);
        tray.closeAboutZorvel(); // empty holder: nothing happens
    }

    void languageSlots_data() {
        QTest::addColumn<QVector<int>>("modes"); // TypingModel, IntelligenceModel, TranslationModel
        QTest::addColumn<int>("closePrompt");
        QTest::addColumn<int>("choice");             // language action triggered
        QTest::addColumn<QVector<int>>("languages"); // expected Typing/Intelligence/TranslationLanguage
        QTest::addColumn<int>("notices");
        QTest::addColumn<int>("mark"); // as markedLanguage()
        const QVector<int> before{2, 2, 1};
        QTest::newRow("typing Mandarin")
            << QVector<int>{1, 0, 0} << 0 << 0 << QVector<int>{0, 2, 1} << 1 << 0;
        QTest::newRow("typing English, notices off")
            << QVector<int>{1, 0, 0} << 1 << 1 << QVector<int>{1, 2, 1} << 0 << 1;
        QTest::newRow("intelligent Sichuanese")
            << QVector<int>{0, 1, 0} << 0 << 3 << QVector<int>{2, 3, 1} << 1 << 3;
        QTest::newRow("intelligent Henanese, notices off")
            << QVector<int>{0, 1, 0} << 1 << 4 << QVector<int>{2, 4, 1} << 0 << 4;
        QTest::newRow("translation Cantonese")
            << QVector<int>{0, 0, 1} << 0 << 2 << QVector<int>{2, 2, 2} << 1 << 2;
        QTest::newRow("translation refuses Sichuanese")
            << QVector<int>{0, 0, 1} << 0 << 3 << before << 0 << -1;
        QTest::newRow("translation refuses Henanese") << QVector<int>{0, 0, 1} << 1 << 4 << before << 0 << -1;
        QTest::newRow("typing and intelligent Henanese")
            << QVector<int>{1, 1, 0} << 0 << 4 << QVector<int>{4, 4, 1} << 2 << 4;
        QTest::newRow("typing and intelligent English")
            << QVector<int>{1, 1, 0} << 0 << 1 << QVector<int>{1, 1, 1} << 1 << 1;
        QTest::newRow("typing and translation Sichuanese")
            << QVector<int>{1, 0, 1} << 0 << 3 << QVector<int>{3, 2, 1} << 1 << -1;
        QTest::newRow("no mode active") << QVector<int>{0, 0, 0} << 0 << 0 << before << 1 << -3;
    }
    void languageSlots() {
        QFETCH(QVector<int>, modes);
        QFETCH(int, closePrompt);
        QFETCH(int, choice);
        QFETCH(QVector<int>, languages);
        QFETCH(int, notices);
        QFETCH(int, mark);
        preset({{"TypingModel", modes[0]},
                {"IntelligenceModel", modes[1]},
                {"TranslationModel", modes[2]},
                {"TypingLanguage", 2},
                {"IntelligenceLanguage", 2},
                {"TranslationLanguage", 1},
                {"ClosePrompt", closePrompt}});
        RecordingTray tray;
        tray.languageAction(choice)->trigger();

        const QString expectedNotice = "你选择：" + tray.languageAction(choice)->text();
        QCOMPARE(tray.notices.size(), notices);
        for (const QString& notice : tray.notices)
            QCOMPARE(notice, expectedNotice);
        if (notices > 0) {
            QVERIFY(tray.promptBox()->isVisible());
            QCOMPARE(tray.promptBox()->text(), expectedNotice);
        }
        const QMap<QString, int> file = saved();
        QCOMPARE(file.value("TypingLanguage"), languages[0]);
        QCOMPARE(file.value("IntelligenceLanguage"), languages[1]);
        QCOMPARE(file.value("TranslationLanguage"), languages[2]);
        QCOMPARE(markedLanguage(tray), mark);
    }

    void refusalMarkComesBackWithinOneTick() {
        preset({{"TranslationModel", 1}, {"IntelligenceModel", 0}, {"TranslationLanguage", 1}});
        SystemTray tray;
        QCOMPARE(checkedLanguage(tray), 1);
        tray.languageAction(4)->trigger();
        QCOMPARE(markedLanguage(tray), -1);
        QCOMPARE(ConfigStore::instance()["TranslationLanguage"], 1);
        QTRY_COMPARE_WITH_TIMEOUT(markedLanguage(tray), 1, 3000);
        QCOMPARE(checkedLanguage(tray), 1);
    }

    void refreshMarks_data() {
        QTest::addColumn<QVector<int>>("modes");
        QTest::addColumn<QVector<int>>("languages");
        QTest::addColumn<int>("mark");
        QTest::addColumn<int>("checked");
        QTest::newRow("typing Cantonese") << QVector<int>{1, 0, 0} << QVector<int>{2, 0, 0} << 2 << 2;
        QTest::newRow("intelligent English") << QVector<int>{0, 1, 0} << QVector<int>{0, 1, 0} << 1 << 1;
        QTest::newRow("translation dialect: mark, no check")
            << QVector<int>{0, 0, 1} << QVector<int>{0, 0, 4} << 4 << -1;
        QTest::newRow("out of range changes nothing")
            << QVector<int>{1, 0, 0} << QVector<int>{7, 0, 0} << -3 << -1;
        QTest::newRow("negative changes nothing")
            << QVector<int>{0, 1, 0} << QVector<int>{0, -1, 0} << -3 << -1;
        QTest::newRow("typing and translation") << QVector<int>{1, 0, 1} << QVector<int>{1, 0, 3} << 3 << 1;
    }
    void refreshMarks() {
        QFETCH(QVector<int>, modes);
        QFETCH(QVector<int>, languages);
        QFETCH(int, mark);
        QFETCH(int, checked);
        preset({{"TypingModel", modes[0]},
                {"IntelligenceModel", modes[1]},
                {"TranslationModel", modes[2]},
                {"TypingLanguage", languages[0]},
                {"IntelligenceLanguage", languages[1]},
                {"TranslationLanguage", languages[2]}});
        SystemTray tray;
        QCOMPARE(markedLanguage(tray), mark);
        QCOMPARE(checkedLanguage(tray), checked);
    }

    void iconFollowsConnection_data() {
        QTest::addColumn<int>("connected");
        QTest::addColumn<QString>("icon");
        QTest::newRow("connected") << 1 << ":/ico/images/zorvel.ico";
        QTest::newRow("not connected") << 0 << ":/ico/images/zorvelhui.ico";
        QTest::newRow("unknown value is grey") << 2 << ":/ico/images/zorvelhui.ico";
    }
    void iconFollowsConnection() {
        QFETCH(int, connected);
        QFETCH(QString, icon);
        preset({{"MonitorZorvelMouseConnect", connected}});
        SystemTray tray;
        QVERIFY(sameIcon(tray.icon(), icon));
        // A change seen by the device monitor reaches the icon with the next tick.
        const int other = connected == 1 ? 0 : 1;
        ConfigStore::instance()["MonitorZorvelMouseConnect"] = other;
        const QString otherIcon = other == 1 ? ":/ico/images/zorvel.ico" : ":/ico/images/zorvelhui.ico";
        QTRY_VERIFY_WITH_TIMEOUT(sameIcon(tray.icon(), otherIcon), 3000);
    }

    void reportsGeometryEveryTick() {
        SystemTray tray;
        tray.setGeometryOverride(QRect(1800, 1050, 24, 30));
        QList<QRect> reports;
        connect(&tray, &SystemTray::trayPosition, this,
                [&](int& x, int& y, int& w, int& h) { reports << QRect(x, y, w, h); });
        QTRY_VERIFY_WITH_TIMEOUT(reports.size() >= 2, 3000);
        QCOMPARE(reports.first(), QRect(1800, 1050, 24, 30));
    }

    void quitEndsTheEventLoop() {
        SystemTray tray;
        QEventLoop loop;
        QTimer::singleShot(0, &tray, &SystemTray::quitSystem);
        QTimer::singleShot(3000, &loop, [&] { loop.exit(7); });
        QCOMPARE(loop.exec(), 0);
    }
};

QTEST_MAIN(TestSystemTray)
#include "tst_systemtray.moc"
