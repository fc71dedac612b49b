#include "UiTestSupport.h"
#include "tests/support/MessageLog.h"
#include "tests/support/Rows.h"

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
// True when the icon shows the picture of the resource.
bool sameIcon(const QIcon& icon, const QString& resource) {
    const QImage expected = QIcon(resource).pixmap(16, 16).toImage();
    return !icon.isNull() && !expected.isNull() && icon.pixmap(16, 16).toImage() == expected;
}
// The marks of the five language actions: 'S' select, 'E' empty, '-' none, '?' anything else.
QString marks(const SystemTray& tray) {
    QString out;
    for (int value = 0; value < 5; ++value) {
        const QIcon icon = tray.languageAction(value)->icon();
        out += icon.isNull()                               ? '-'
               : sameIcon(icon, ":/ico/images/select.ico") ? 'S'
               : sameIcon(icon, ":/ico/images/empty.ico")  ? 'E'
                                                           : '?';
    }
    return out;
}
int checkedLanguage(const SystemTray& tray) {
    QAction* checked = tray.languageGroup()->checkedAction();
    return checked ? tray.languageGroup()->actions().indexOf(checked) : -1;
}
} // namespace

class TestSystemTray : public UiTest {
    Q_OBJECT
private slots:
    // Runs first: the warning is given once per process. Offscreen there is no tray, as on a bare
    // X server; the program carries on with the icon set visible.
    void noTrayWarnsOnceAndCarriesOn() {
        QVERIFY(!QSystemTrayIcon::isSystemTrayAvailable());
        MessageLog log;
        SystemTray first;
        SystemTray second;
        QCOMPARE(log.warnings().filter("no system tray available").size(), 1);
        QVERIFY(first.isVisible());
    }

    // Languages before: typing 2, intelligent 2, translation 1; 'saved' gives them afterwards.
    void languageSlots_data() {
        // Mode flags, ClosePrompt, the language action triggered, the three languages saved
        // afterwards, notices shown, marks.
        const Rows<QString, int, int, QString, int, QString> row;
        row("typing English, notices off", "100", 1, 1, "121", 0, "ESEEE");
        row("intelligent Sichuanese", "010", 0, 3, "231", 1, "EEESE");
        row("intelligent Henanese, notices off", "010", 1, 4, "241", 0, "EEEES");
        row("translation Cantonese", "001", 0, 2, "222", 1, "EESEE");
        row("translation refuses a dialect", "001", 0, 3, "221", 0, "EEEEE");
        row("typing and intelligent Henanese", "110", 0, 4, "441", 2, "EEEES");
        row("typing and intelligent English", "110", 0, 1, "111", 1, "ESEEE");
        row("typing and translation Sichuanese", "101", 0, 3, "321", 1, "EEEEE");
        row("no mode active", "000", 0, 0, "221", 1, "-----");
    }
    void languageSlots() {
        const auto [flags, closePrompt, choice, saved, notices, marks] =
            Rows<QString, int, int, QString, int, QString>::fetch();
        preset(modes(flags));
        preset(values("TypingLanguage=2 IntelligenceLanguage=2 TranslationLanguage=1"));
        preset({{"ClosePrompt", closePrompt}});
        RecordingTray tray;
        tray.languageAction(choice)->trigger();
        const QString notice = "你选择：" + tray.languageAction(choice)->text();
        QCOMPARE(tray.notices, QStringList(QVector<QString>(notices, notice).toList()));
        if (notices > 0)
            QCOMPARE(tray.noticeBox()->isVisible() ? tray.noticeBox()->text() : QString(), notice);
        QString languages;
        for (const char* key : {"TypingLanguage", "IntelligenceLanguage", "TranslationLanguage"})
            languages += QString::number(UiTest::saved().value(key));
        QCOMPARE(languages, saved);
        QCOMPARE(::marks(tray), marks);
    }
    void refusalMarkComesBackWithinOneTick() {
        preset(values("TranslationModel=1 TranslationLanguage=1"));
        SystemTray tray;
        QCOMPARE(checkedLanguage(tray), 1);
        tray.languageAction(4)->trigger();
        QCOMPARE(marks(tray), QString("EEEEE"));
        QCOMPARE(ConfigStore::instance()["TranslationLanguage"], 1);
        QTRY_COMPARE_WITH_TIMEOUT(marks(tray), QString("ESEEE"), 3000);
        QCOMPARE(checkedLanguage(tray), 1);
    }
    // The stored language of each active mode is marked and checked; values outside 0..4 change nothing.
    void refreshMarks_data() {
        const Rows<QString, int, QString> row; // stored values, checked language, marks
        row("typing Cantonese", "TypingModel=1 TypingLanguage=2", 2, "EESEE");
        row("translation dialect: no check", "TranslationModel=1 TranslationLanguage=4", -1, "EEEES");
        row("out of range", "TypingModel=1 TypingLanguage=7", -1, "-----");
        row("negative", "IntelligenceModel=1 IntelligenceLanguage=-1", -1, "-----");
        row("typing and translation",
            "TypingModel=1 TranslationModel=1 TypingLanguage=1 TranslationLanguage=3", 1, "EEESE");
    }
    void refreshMarks() {
        const auto [stored, checked, marks] = Rows<QString, int, QString>::fetch();
        preset(values(stored));
        SystemTray tray;
        QCOMPARE(::marks(tray), marks);
        QCOMPARE(checkedLanguage(tray), checked);
    }
    // A step with the store unchanged sets nothing again (each set makes the menu and the tray
    // redo their work); a change is brought in step at the next one.
    void idleStepLeavesTheMenuAlone() {
        preset(values("TypingModel=1 TypingLanguage=1"));
        SystemTray tray;
        QSignalSpy changed(tray.languageAction(1), &QAction::changed);
        tray.refresh();
        tray.refresh();
        QCOMPARE(changed.count(), 0);
        ConfigStore::instance()["TypingLanguage"] = 2;
        tray.refresh();
        QCOMPARE(marks(tray), QString("EESEE"));
    }
    // Grey for anything but 1; a change reaches the icon with the next tick.
    void iconFollowsConnection_data() {
        const Rows<int, int> row; // state at start, then the next one
        row("connected, then unknown", 1, 2);
        row("not connected, then connected", 0, 1);
    }
    void iconFollowsConnection() {
        const auto [state, next] = Rows<int, int>::fetch();
        const auto icon = [](int s) { return QString(":/ico/images/zorvel%1.ico").arg(s == 1 ? "" : "hui"); };
        preset({{"MonitorZorvelMouseConnect", state}});
        SystemTray tray;
        QVERIFY(sameIcon(tray.icon(), icon(state)));
        ConfigStore::instance()["MonitorZorvelMouseConnect"] = next;
        QTRY_VERIFY_WITH_TIMEOUT(sameIcon(tray.icon(), icon(next)), 3000);
    }

    // The tooltip names the engine and its state; a failure keeps the time it began.
    // Steps: L loading, R ready, F<hh:mm> failing at that time.
    void tooltipShowsTheEngine_data() {
        const Rows<bool, QString, QString> row;
        row("offline ready", false, "L R", "内置离线引擎（英语）：就绪");
        row("server loading", true, "L", "语音识别服务器：正在加载");
        row("server failing since the first failure", true, "R F14:05 F14:10",
            "语音识别服务器：服务器无法连接，自 14:05 起");
        row("failing anew after working", true, "F14:05 R F14:20",
            "语音识别服务器：服务器无法连接，自 14:20 起");
        row("offline failing", false, "F09:03", "内置离线引擎（英语）：无法使用，自 09:03 起");
    }
    void tooltipShowsTheEngine() {
        const auto [server, steps, expected] = Rows<bool, QString, QString>::fetch();
        SystemTray tray;
        for (const QString& step : steps.split(' ')) {
            const auto status = step[0] == 'L'   ? SystemTray::EngineStatus::Loading
                                : step[0] == 'R' ? SystemTray::EngineStatus::Ready
                                                 : SystemTray::EngineStatus::Failing;
            tray.showEngineStatus(server, status, QTime::fromString(step.mid(1), "HH:mm"));
        }
        QCOMPARE(tray.toolTip(), "Zorvel\n" + expected);
    }
};

QTEST_MAIN(TestSystemTray)
#include "tst_systemtray.moc"
