#include "FakeCapture.h"
#include "app/ConfigStore.h"
#include "platform/fake/FakeForegroundWindow.h"
#include "platform/fake/FakeMouseButtons.h"
#include "tests/support/TestDir.h"
#include "voice/MonitorSideKey.h"
#include "voice/RecordingReady.h"

#include <QFile>
#include <QSignalSpy>
#include <QtTest>
#include <memory>
#include <optional>

Q_DECLARE_METATYPE(std::optional<QString>)
Q_DECLARE_METATYPE(std::optional<QPoint>)

// The monitor on fake seams, a fake clock and fake captures.
struct Rig {
    // Declared before the monitor, which may still stop a capture when it goes.
    CaptureLog log;
    int nextCapture = 1;
    qint64 now = 1'700'000'000'000;
    FakeMouseButtons* buttons = nullptr;
    FakeForegroundWindow* foreground = nullptr;
    std::unique_ptr<MonitorSideKey> monitor;

    Rig() {
        auto b = std::make_unique<FakeMouseButtons>();
        auto f = std::make_unique<FakeForegroundWindow>();
        buttons = b.get();
        foreground = f.get();
        monitor = std::make_unique<MonitorSideKey>(std::move(b), std::move(f));
        monitor->setClock([this] { return now; });
        monitor->setCaptureFactory([this] { return std::make_unique<FakeCapture>(&log, nextCapture++); });
    }
    void hold(MouseButtons::Message down, MouseButtons::Message up, int ms) {
        buttons->send(down);
        now += ms;
        buttons->send(up);
    }
};

static void setMode(const QString& mode) {
    ConfigStore& store = ConfigStore::instance();
    store["TypingModel"] = mode == "typing";
    store["IntelligenceModel"] = mode == "intelligent";
    store["TranslationModel"] = mode == "translation";
}

class TestMonitorSideKey : public QObject {
    Q_OBJECT
private:
    std::unique_ptr<TestDir> m_dir;

private slots:
    void init() {
        m_dir = std::make_unique<TestDir>();
        RecordingReady::wait(0); // drop a wake-up left by an earlier case
    }
    void cleanup() { m_dir.reset(); }

    void startsTheButtonSource() {
        Rig rig;
        QCOMPARE(rig.buttons->startCalls, 1);
        QVERIFY(rig.monitor->isListening());

        auto buttons = std::make_unique<FakeMouseButtons>();
        buttons->startResult = false;
        MonitorSideKey deaf(std::move(buttons), std::make_unique<FakeForegroundWindow>());
        QVERIFY(!deaf.isListening());
    }

    void holdOrTap_data() {
        QTest::addColumn<QString>("mode");
        QTest::addColumn<int>("closePrompt");
        QTest::addColumn<std::optional<QString>>("windowClass");
        QTest::addColumn<int>("holdMs");
        QTest::addColumn<bool>("flagged");
        QTest::addColumn<int>("recorderShown");
        QTest::addColumn<int>("commandNotice");
        QTest::addColumn<int>("shortNotice");

        const std::optional<QString> none;
        const std::optional<QString> notepad = QString("Notepad");
        const std::optional<QString> browser = QString("Chrome_WidgetWin_1");
        // mode, ClosePrompt, foreground class, hold, flagged, window, "请说口令！", "请稍等片刻！"
        QTest::newRow("typing 1 s") << "typing" << 0 << none << 1000 << true << 1 << 0 << 0;
        QTest::newRow("typing 1 s, no prompts") << "typing" << 1 << none << 1000 << true << 0 << 0 << 0;
        QTest::newRow("typing exactly 200 ms") << "typing" << 0 << none << 200 << true << 1 << 0 << 0;
        QTest::newRow("typing 199 ms tap") << "typing" << 0 << none << 199 << false << 1 << 0 << 1;
        QTest::newRow("typing tap, no prompts") << "typing" << 1 << none << 100 << false << 0 << 0 << 0;
        QTest::newRow("translation 1 s") << "translation" << 0 << none << 1000 << true << 1 << 0 << 0;
        QTest::newRow("translation tap") << "translation" << 0 << none << 20 << false << 1 << 0 << 1;
        QTest::newRow("translation tap, no prompts")
            << "translation" << 1 << none << 20 << false << 0 << 0 << 0;
        QTest::newRow("intelligent, editor") << "intelligent" << 0 << notepad << 1000 << true << 1 << 0 << 0;
        QTest::newRow("intelligent, editor tap")
            << "intelligent" << 0 << notepad << 150 << false << 1 << 0 << 1;
        QTest::newRow("intelligent, editor, no prompts")
            << "intelligent" << 1 << notepad << 1000 << true << 0 << 0 << 0;
        QTest::newRow("intelligent, browser") << "intelligent" << 0 << browser << 1000 << true << 0 << 1 << 0;
        QTest::newRow("intelligent, browser tap")
            << "intelligent" << 0 << browser << 150 << false << 0 << 1 << 1;
        QTest::newRow("intelligent, browser, no prompts")
            << "intelligent" << 1 << browser << 1000 << true << 0 << 0 << 0;
        QTest::newRow("intelligent, class case differs")
            << "intelligent" << 0 << std::optional<QString>(QString("notepad")) << 1000 << true << 0 << 1
            << 0;
        QTest::newRow("intelligent, no foreground window")
            << "intelligent" << 0 << none << 1000 << true << 0 << 0 << 0;
        QTest::newRow("intelligent, no window, tap")
            << "intelligent" << 0 << none << 10 << false << 0 << 0 << 1;
        QTest::newRow("no mode set") << "" << 0 << none << 1000 << true << 0 << 0 << 0;
    }

    void holdOrTap() {
        QFETCH(QString, mode);
        QFETCH(int, closePrompt);
        QFETCH(std::optional<QString>, windowClass);
        QFETCH(int, holdMs);
        QFETCH(bool, flagged);
        QFETCH(int, recorderShown);
        QFETCH(int, commandNotice);
        QFETCH(int, shortNotice);

        setMode(mode);
        ConfigStore& store = ConfigStore::instance();
        store["ClosePrompt"] = closePrompt;
        Rig rig;
        rig.foreground->windowClass = windowClass;
        QSignalSpy shown(rig.monitor.get(), &MonitorSideKey::recorderShown);
        QSignalSpy closed(rig.monitor.get(), &MonitorSideKey::recorderClosed);
        QSignalSpy command(rig.monitor.get(), &MonitorSideKey::commandNoticeShown);
        QSignalSpy commandHidden(rig.monitor.get(), &MonitorSideKey::commandNoticeHidden);
        QSignalSpy shortPress(rig.monitor.get(), &MonitorSideKey::shortPressNoticeShown);

        rig.buttons->send(MouseButtons::SideDown);
        QVERIFY(rig.monitor->isRecording());
        QCOMPARE(rig.log.events, QStringList({"new1", "start1"}));
        QVERIFY(QFile::exists("record.wav"));
        QCOMPARE(shown.count(), recorderShown);
        QCOMPARE(command.count(), commandNotice);
        if (commandNotice)
            QCOMPARE(command.at(0).at(0).toString(), QString("请说口令！"));
        QVERIFY(closed.isEmpty());

        rig.now += holdMs;
        rig.buttons->send(MouseButtons::SideUp);
        QVERIFY(!rig.monitor->isRecording());
        QCOMPARE(rig.log.events, QStringList({"new1", "start1", "stop1", "delete1"}));
        QCOMPARE(rig.log.alive, 0);
        QCOMPARE(closed.count(), 1);
        QCOMPARE(commandHidden.count(), 1);
        QCOMPARE(shortPress.count(), shortNotice);
        if (shortNotice) {
            QCOMPARE(shortPress.at(0).at(0).toString(), QString("请稍等片刻！"));
            QCOMPARE(shortPress.at(0).at(1).toInt(), 500);
        }
        QCOMPARE(QFile::exists("record.wav"), flagged);
        QCOMPARE(int(store["IsRecording"]), flagged ? 1 : 0);
        QCOMPARE(RecordingReady::wait(0), flagged);
        // Saved for the recognition thread, not only set in memory.
        store.reload();
        QCOMPARE(int(store["IsRecording"]), flagged ? 1 : 0);
    }

    void setUpTimeDoesNotCount() {
        setMode("typing");
        Rig rig;
        // The recorder takes 150 ms to start; the hold is measured from after that.
        rig.monitor->setCaptureFactory([&rig] {
            rig.now += 150;
            return std::make_unique<FakeCapture>(&rig.log, rig.nextCapture++);
        });
        rig.hold(MouseButtons::SideDown, MouseButtons::SideUp, 100);
        QCOMPARE(int(ConfigStore::instance()["IsRecording"]), 0);
        QVERIFY(!QFile::exists("record.wav"));
    }

    void holdDuration_data() {
        QTest::addColumn<qint64>("pressed");
        QTest::addColumn<qint64>("released");
        QTest::addColumn<int>("duration");
        QTest::newRow("plain") << qint64(1'700'000'000'000) << qint64(1'700'000'000'250) << 250;
        QTest::newRow("low 32 bits wrap") << qint64(0x1FFFFFF9C) << qint64(0x200000064) << 200;
        QTest::newRow("clock went back") << qint64(5000) << qint64(4000) << -1000;
        QTest::newRow("high bits ignored") << qint64(0x100000000) << qint64(0x300000010) << 16;
    }
    void holdDuration() {
        QFETCH(qint64, pressed);
        QFETCH(qint64, released);
        QFETCH(int, duration);
        QCOMPARE(MonitorSideKey::holdDuration(pressed, released), duration);
    }

    void holdAcrossTheWrapCounts() {
        setMode("typing");
        Rig rig;
        rig.now = 0x2FFFFFF00;
        rig.hold(MouseButtons::SideDown, MouseButtons::SideUp, 0x200);
        QCOMPARE(int(ConfigStore::instance()["IsRecording"]), 1);
    }

    void clockGoingBackIsATap() {
        setMode("typing");
        Rig rig;
        rig.buttons->send(MouseButtons::SideDown);
        rig.now -= 5000;
        rig.buttons->send(MouseButtons::SideUp);
        QCOMPARE(int(ConfigStore::instance()["IsRecording"]), 0);
        QVERIFY(!QFile::exists("record.wav"));
    }

    void marks_data() {
        QTest::addColumn<QString>("mode");
        QTest::addColumn<int>("typing");
        QTest::addColumn<int>("intelligence");
        QTest::addColumn<int>("translation");
        QTest::addColumn<QString>("mark");
        QTest::newRow("typing 0") << "typing" << 0 << 3 << 1 << "中";
        QTest::newRow("typing 1") << "typing" << 1 << 0 << 0 << "英";
        QTest::newRow("typing 4") << "typing" << 4 << 0 << 0 << "豫";
        QTest::newRow("typing 5 out of range") << "typing" << 5 << 1 << 1 << "中";
        QTest::newRow("typing -1") << "typing" << -1 << 1 << 1 << "中";
        QTest::newRow("intelligent 3") << "intelligent" << 1 << 3 << 1 << "川";
        QTest::newRow("intelligent 2") << "intelligent" << 1 << 2 << 1 << "粤";
        QTest::newRow("intelligent 7") << "intelligent" << 1 << 7 << 1 << "中";
        QTest::newRow("translation 2") << "translation" << 4 << 4 << 2 << "粤";
        QTest::newRow("translation 3 not offered") << "translation" << 4 << 4 << 3 << "中";
        QTest::newRow("translation 1") << "translation" << 0 << 0 << 1 << "英";
    }
    void marks() {
        QFETCH(QString, mode);
        QFETCH(int, typing);
        QFETCH(int, intelligence);
        QFETCH(int, translation);
        QFETCH(QString, mark);
        setMode(mode);
        ConfigStore& store = ConfigStore::instance();
        store["TypingLanguage"] = typing;
        store["IntelligenceLanguage"] = intelligence;
        store["TranslationLanguage"] = translation;
        QCOMPARE(MonitorSideKey::languageMark(store), mark);

        // The same mark reaches the recorder window at a press.
        Rig rig;
        rig.foreground->windowClass = QString("Notepad");
        QSignalSpy shown(rig.monitor.get(), &MonitorSideKey::recorderShown);
        rig.buttons->send(MouseButtons::SideDown);
        QCOMPARE(shown.count(), 1);
        QCOMPARE(shown.at(0).at(2).toString(), mark);
    }

    void laterModeOverridesEarlier() {
        // Two flags on at once (a damaged config.txt): translation is checked last and wins,
        // unless its index is out of range.
        ConfigStore& store = ConfigStore::instance();
        store["TypingModel"] = 1;
        store["TranslationModel"] = 1;
        store["TypingLanguage"] = 4;
        store["TranslationLanguage"] = 1;
        QCOMPARE(MonitorSideKey::languageMark(store), QString("英"));
        store["TranslationLanguage"] = 4;
        QCOMPARE(MonitorSideKey::languageMark(store), QString("豫"));
    }

    void caretGoesToTheWindow_data() {
        QTest::addColumn<std::optional<QPoint>>("caret");
        QTest::newRow("caret") << std::optional<QPoint>(QPoint(640, 480));
        QTest::newRow("no caret") << std::optional<QPoint>();
    }
    void caretGoesToTheWindow() {
        QFETCH(std::optional<QPoint>, caret);
        setMode("translation");
        Rig rig;
        rig.foreground->caret = caret;
        QSignalSpy shown(rig.monitor.get(), &MonitorSideKey::recorderShown);
        rig.buttons->send(MouseButtons::SideDown);
        QCOMPARE(shown.count(), 1);
        QCOMPARE(shown.at(0).at(0).toBool(), caret.has_value());
        if (caret)
            QCOMPARE(shown.at(0).at(1).toPoint(), *caret);
    }

    void middleButton_data() {
        QTest::addColumn<int>("holdMs");
        QTest::addColumn<int>("opened");
        QTest::newRow("3.5 s") << 3500 << 1;
        QTest::newRow("2 s") << 2000 << 0;
        QTest::newRow("exactly 3 s") << 3000 << 0;
        QTest::newRow("3001 ms") << 3001 << 1;
    }
    void middleButton() {
        QFETCH(int, holdMs);
        QFETCH(int, opened);
        m_dir->write("services.ini", "[product]\npage=http://product.example/zorvel\n");
        TestDir::reloadSettings();
        Rig rig;
        QSignalSpy urls(rig.monitor.get(), &MonitorSideKey::urlRequested);
        rig.hold(MouseButtons::MiddleDown, MouseButtons::MiddleUp, holdMs);
        QCOMPARE(urls.count(), opened);
        if (opened)
            QCOMPARE(urls.at(0).at(0).toUrl(), QUrl("http://product.example/zorvel"));
        QVERIFY(!rig.monitor->isRecording());
        QCOMPARE(rig.log.alive, 0);
    }

    void productPageDefaultAndBadAddress() {
        Rig rig;
        QSignalSpy urls(rig.monitor.get(), &MonitorSideKey::urlRequested);
        rig.hold(MouseButtons::MiddleDown, MouseButtons::MiddleUp, 3500);
        QCOMPARE(urls.count(), 1);
        QCOMPARE(urls.at(0).at(0).toUrl(), QUrl("http://www.zorvel.com/mouse"));

        m_dir->write("services.ini", "[product]\npage=\"not a url\"\n");
        TestDir::reloadSettings();
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("product page address"));
        rig.hold(MouseButtons::MiddleDown, MouseButtons::MiddleUp, 3500);
        QCOMPARE(urls.count(), 1);
    }

    void middleReleaseWithoutPressOpensNothing() {
        Rig rig;
        QSignalSpy urls(rig.monitor.get(), &MonitorSideKey::urlRequested);
        rig.now += 10'000;
        rig.buttons->send(MouseButtons::MiddleUp);
        QCOMPARE(urls.count(), 0);
        // A second release after a long hold was already answered.
        rig.hold(MouseButtons::MiddleDown, MouseButtons::MiddleUp, 4000);
        rig.now += 4000;
        rig.buttons->send(MouseButtons::MiddleUp);
        QCOMPARE(urls.count(), 1);
    }

    void keyUpWithoutRecorder() {
        setMode("typing");
        m_dir->write("record.wav", "waiting for recognition");
        Rig rig;
        QSignalSpy closed(rig.monitor.get(), &MonitorSideKey::recorderClosed);
        QSignalSpy shortPress(rig.monitor.get(), &MonitorSideKey::shortPressNoticeShown);
        rig.buttons->send(MouseButtons::SideUp);
        QCOMPARE(closed.count(), 0);
        QCOMPARE(shortPress.count(), 0);
        QCOMPARE(rig.log.events, QStringList());
        QCOMPARE(int(ConfigStore::instance()["IsRecording"]), 0);
        QCOMPARE(m_dir->read("record.wav"), QByteArray("waiting for recognition"));
    }

    void otherEventsDoNothing() {
        setMode("typing");
        Rig rig;
        QSignalSpy closed(rig.monitor.get(), &MonitorSideKey::recorderClosed);
        QSignalSpy shown(rig.monitor.get(), &MonitorSideKey::recorderShown);
        for (int i = 0; i < 100; ++i)
            rig.buttons->send(MouseButtons::Other);
        QCOMPARE(closed.count() + shown.count(), 0);
        QCOMPARE(rig.foreground->classQueries, 0);
        QVERIFY(rig.log.events.isEmpty());
    }

    void secondDownDiscardsTheEarlierRecorder() {
        setMode("typing");
        Rig rig;
        QSignalSpy closed(rig.monitor.get(), &MonitorSideKey::recorderClosed);
        QSignalSpy shown(rig.monitor.get(), &MonitorSideKey::recorderShown);
        rig.buttons->send(MouseButtons::SideDown);
        rig.now += 500;
        rig.buttons->send(MouseButtons::SideDown);
        // The first recorder is stopped and gone before the second one opens the file.
        QCOMPARE(rig.log.events, QStringList({"new1", "start1", "stop1", "delete1", "new2", "start2"}));
        QCOMPARE(rig.log.alive, 1);
        QCOMPARE(closed.count(), 1);
        QCOMPARE(shown.count(), 2);
        QCOMPARE(int(ConfigStore::instance()["IsRecording"]), 0);
        // The hold counts from the second press.
        rig.now += 150;
        rig.buttons->send(MouseButtons::SideUp);
        QCOMPARE(int(ConfigStore::instance()["IsRecording"]), 0);
        QCOMPARE(rig.log.alive, 0);
        rig.hold(MouseButtons::SideDown, MouseButtons::SideUp, 300);
        QCOMPARE(int(ConfigStore::instance()["IsRecording"]), 1);
        QCOMPARE(m_dir->read("record.wav"), QByteArray("RIFF3"));
    }

    void levelBuffersOfTheCurrentPressOnly() {
        setMode("typing");
        Rig rig;
        QSignalSpy levels(rig.monitor.get(), &MonitorSideKey::levelBuffer);
        rig.buttons->send(MouseButtons::SideDown);
        auto* capture = static_cast<FakeCapture*>(rig.monitor->currentCapture());
        capture->feed(QByteArray(3200, '\x10'));
        QCOMPARE(levels.count(), 1);
        QCOMPARE(levels.at(0).at(0).value<QAudioBuffer>().frameCount(), 1600);
        rig.hold(MouseButtons::SideDown, MouseButtons::SideUp, 300);
        QCOMPARE(levels.count(), 1);
    }

    void destroyedWhileRecording() {
        setMode("typing");
        auto rig = std::make_unique<Rig>();
        rig->buttons->send(MouseButtons::SideDown);
        QVERIFY(QFile::exists("record.wav"));
        CaptureLog* log = &rig->log;
        QSignalSpy closed(rig->monitor.get(), &MonitorSideKey::recorderClosed);
        rig->monitor.reset();
        QCOMPARE(log->events.mid(2), QStringList({"stop1", "delete1"}));
        QCOMPARE(closed.count(), 1);
        QVERIFY(!QFile::exists("record.wav"));
        QCOMPARE(int(ConfigStore::instance()["IsRecording"]), 0);
    }
};

QTEST_MAIN(TestMonitorSideKey)
#include "tst_monitorsidekey.moc"
