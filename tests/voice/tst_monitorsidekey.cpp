#include "VoiceTestKit.h"
#include "app/ConfigStore.h"
#include "platform/fake/FakeForegroundWindow.h"
#include "platform/fake/FakeMouseButtons.h"
#include "tests/support/TestDir.h"
#include "voice/MonitorSideKey.h"
#include "voice/RecordingReady.h"

#include <QtTest>
#include <optional>

Q_DECLARE_METATYPE(std::optional<QString>)

using Msg = MouseButtons::Message;

// The monitor on fake seams, a fake clock and fake captures; `gui` lists what it asks the GUI for.
struct Rig {
    QStringList captures, gui; // before the monitor, which may still stop a capture when it goes
    int nextCapture = 1;
    qint64 now = 1'700'000'000'000;
    FakeMouseButtons* buttons = new FakeMouseButtons;
    FakeForegroundWindow* foreground = new FakeForegroundWindow;
    std::unique_ptr<MonitorSideKey> monitor{new MonitorSideKey(
        std::unique_ptr<MouseButtons>(buttons), std::unique_ptr<ForegroundWindow>(foreground))};

    Rig() {
        MonitorSideKey* m = monitor.get();
        m->setClock([this] { return now; });
        m->setCaptureFactory([this] { return std::make_unique<FakeCapture>(&captures, nextCapture++); });
        QObject::connect(m, &MonitorSideKey::recorderShown, [this](bool hasCaret, QPoint at, QString mark) {
            gui << "shown:" + mark + (hasCaret ? QString("@%1,%2").arg(at.x()).arg(at.y()) : QString());
        });
        QObject::connect(m, &MonitorSideKey::recorderClosed, [this] { gui << "closed"; });
        QObject::connect(m, &MonitorSideKey::commandNoticeShown, [this](QString text) { gui << text; });
        QObject::connect(m, &MonitorSideKey::commandNoticeHidden, [this] { gui << "hidden"; });
        QObject::connect(m, &MonitorSideKey::shortPressNoticeShown,
                         [this](QString text, int ms) { gui << QString("%1:%2").arg(text).arg(ms); });
        QObject::connect(m, &MonitorSideKey::urlRequested, [this](QUrl url) { gui << url.toString(); });
    }
    void send(Msg message, int thenWaitMs = 0) {
        buttons->send(message);
        now += thenWaitMs;
    }
    void hold(Msg down, Msg up, int ms) {
        send(down, ms);
        send(up);
    }
};

// Modes by name; "typing+translation" turns both on, as a damaged config.txt might.
static void setMode(const QString& mode) {
    ConfigStore& store = ConfigStore::instance();
    store["TypingModel"] = mode.contains("typing");
    store["IntelligenceModel"] = mode.contains("intelligent");
    store["TranslationModel"] = mode.contains("translation");
}

static int isRecordingFlag() {
    return ConfigStore::instance()["IsRecording"];
}

class TestMonitorSideKey : public QObject {
    Q_OBJECT
    std::optional<TestDir> m_dir;

private slots:
    void init() {
        m_dir.emplace();
        RecordingReady::wait(0); // drop a wake-up left by an earlier case
    }

    void holdOrTap_data() {
        QTest::addColumn<QString>("mode");
        QTest::addColumn<int>("closePrompt");
        QTest::addColumn<std::optional<QString>>("windowClass");
        QTest::addColumn<int>("holdMs");
        QTest::addColumn<QString>("shown"); // before the "hidden closed" that ends every press
        QTest::addColumn<bool>("flagged");

        const std::optional<QString> none, editor = QString("Notepad"), web = QString("Chrome_WidgetWin_1");
        const QString tap = " 请稍等片刻！:500", command = "请说口令！";
        QTest::newRow("typing 1 s") << "typing" << 0 << none << 1000 << "shown:中" << true;
        QTest::newRow("typing exactly 200 ms") << "typing" << 0 << none << 200 << "shown:中" << true;
        QTest::newRow("typing 199 ms tap") << "typing" << 0 << none << 199 << "shown:中" + tap << false;
        QTest::newRow("typing 1 s, no prompts") << "typing" << 1 << none << 1000 << "" << true;
        QTest::newRow("typing tap, no prompts") << "typing" << 1 << none << 100 << "" << false;
        QTest::newRow("translation 1 s") << "translation" << 0 << none << 1000 << "shown:中" << true;
        QTest::newRow("intelligent, editor") << "intelligent" << 0 << editor << 1000 << "shown:中" << true;
        QTest::newRow("intelligent, browser") << "intelligent" << 0 << web << 1000 << command << true;
        QTest::newRow("intelligent, browser tap")
            << "intelligent" << 0 << web << 150 << command + tap << false;
        QTest::newRow("intelligent, browser, no prompts") << "intelligent" << 1 << web << 1000 << "" << true;
        QTest::newRow("intelligent, class case differs")
            << "intelligent" << 0 << std::optional<QString>("notepad") << 1000 << command << true;
        QTest::newRow("intelligent, no window") << "intelligent" << 0 << none << 1000 << "" << true;
        QTest::newRow("no mode set") << "" << 0 << none << 1000 << "" << true;
    }
    void holdOrTap() {
        QFETCH(QString, mode);
        QFETCH(int, closePrompt);
        QFETCH(std::optional<QString>, windowClass);
        QFETCH(int, holdMs);
        QFETCH(QString, shown);
        QFETCH(bool, flagged);
        setMode(mode);
        ConfigStore::instance()["ClosePrompt"] = closePrompt;
        Rig rig;
        rig.foreground->windowClass = windowClass;
        rig.hold(MouseButtons::SideDown, MouseButtons::SideUp, holdMs);
        QCOMPARE(rig.captures, QStringList({"new1", "start1", "stop1", "delete1"}));
        QCOMPARE(rig.gui, (shown + " hidden closed").split(' ', Qt::SkipEmptyParts));
        QCOMPARE(QFile::exists("record.wav"), flagged);
        QCOMPARE(isRecordingFlag(), int(flagged));
        QCOMPARE(RecordingReady::wait(0), flagged);
        ConfigStore::instance().reload(); // saved for the recognition thread, not only set in memory
        QCOMPARE(isRecordingFlag(), int(flagged));
    }

    void setUpTimeDoesNotCount() {
        setMode("typing");
        Rig rig;
        // The recorder takes 150 ms to start; the hold is measured from after that.
        rig.monitor->setCaptureFactory([&rig] {
            rig.now += 150;
            return std::make_unique<FakeCapture>(&rig.captures, 1);
        });
        rig.hold(MouseButtons::SideDown, MouseButtons::SideUp, 100);
        QCOMPARE(isRecordingFlag(), 0);
        QVERIFY(!QFile::exists("record.wav"));
    }

    void holdDurationUsesTheLow32Bits() {
        QCOMPARE(MonitorSideKey::holdDuration(0x1FFFFFF9C, 0x200000064), 200); // they wrap
        QCOMPARE(MonitorSideKey::holdDuration(5000, 4000), -1000);             // the clock went back
        QCOMPARE(MonitorSideKey::holdDuration(0x100000000, 0x300000010), 16);  // high bits ignored
    }

    void marks_data() {
        QTest::addColumn<QString>("mode");
        QTest::addColumn<int>("typing");
        QTest::addColumn<int>("intelligence");
        QTest::addColumn<int>("translation");
        QTest::addColumn<QString>("mark");
        QTest::newRow("typing 1") << "typing" << 1 << 3 << 2 << "英";
        QTest::newRow("typing 5 out of range") << "typing" << 5 << 1 << 1 << "中";
        QTest::newRow("typing -1") << "typing" << -1 << 1 << 1 << "中";
        QTest::newRow("intelligent 3") << "intelligent" << 1 << 3 << 1 << "川";
        QTest::newRow("translation 2") << "translation" << 4 << 4 << 2 << "粤";
        QTest::newRow("translation 3 not offered") << "translation" << 4 << 4 << 3 << "中";
        // Translation is checked last and wins, unless its index is out of range.
        QTest::newRow("two modes") << "typing+translation" << 4 << 0 << 1 << "英";
        QTest::newRow("two modes, bad translation") << "typing+translation" << 4 << 0 << 4 << "豫";
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
        Rig rig;
        rig.foreground->windowClass = QString("Notepad");
        rig.foreground->caret = QPoint(640, 480);
        rig.send(MouseButtons::SideDown);
        QCOMPARE(rig.gui, QStringList("shown:" + mark + "@640,480"));
    }

    void middleButton_data() {
        QTest::addColumn<QByteArray>("page"); // in services.ini, if any
        QTest::addColumn<int>("holdMs");
        QTest::addColumn<QString>("opened");
        const QByteArray page = "http://product.example/zorvel";
        QTest::newRow("exactly 3 s") << page << 3000 << "";
        QTest::newRow("3001 ms") << page << 3001 << QString(page);
        QTest::newRow("default page") << QByteArray() << 3500 << "http://www.zorvel.com/mouse";
        QTest::newRow("bad address") << QByteArray("\"not a url\"") << 3500 << "";
    }
    void middleButton() {
        QFETCH(QByteArray, page);
        QFETCH(int, holdMs);
        QFETCH(QString, opened);
        m_dir->write("services.ini", page.isEmpty() ? QByteArray() : "[product]\npage=" + page);
        TestDir::reloadSettings();
        if (holdMs > 3000 && opened.isEmpty())
            QTest::ignoreMessage(QtWarningMsg, QRegularExpression("product page address"));
        Rig rig;
        rig.hold(MouseButtons::MiddleDown, MouseButtons::MiddleUp, holdMs);
        QCOMPARE(rig.gui, opened.isEmpty() ? QStringList() : QStringList(opened));
        QVERIFY(rig.captures.isEmpty());
    }

    // Releases whose press was not seen (held at start, or already answered) do nothing.
    void releasesWithoutPress() {
        setMode("typing");
        m_dir->write("record.wav", "waiting for recognition");
        Rig rig;
        rig.send(MouseButtons::MiddleUp, 10'000);
        rig.send(MouseButtons::SideUp);
        QVERIFY(rig.gui.isEmpty());
        QCOMPARE(isRecordingFlag(), 0);
        QCOMPARE(m_dir->read("record.wav"), QByteArray("waiting for recognition"));
        rig.hold(MouseButtons::MiddleDown, MouseButtons::MiddleUp, 4000);
        rig.now += 4000;
        rig.send(MouseButtons::MiddleUp);
        QCOMPARE(rig.gui.size(), 1);
        QVERIFY(rig.captures.isEmpty());
    }

    void otherEventsDoNothing() {
        setMode("typing");
        Rig rig;
        QCOMPARE(rig.buttons->startCalls, 1);
        for (int i = 0; i < 100; ++i)
            rig.send(MouseButtons::Other);
        QVERIFY(rig.gui.isEmpty());
        QVERIFY(rig.captures.isEmpty());
        QCOMPARE(rig.foreground->classQueries, 0);
    }

    void secondDownDiscardsTheEarlierRecorder() {
        setMode("typing");
        Rig rig;
        rig.send(MouseButtons::SideDown, 500);
        rig.send(MouseButtons::SideDown);
        // The first recorder is stopped and gone before the second one opens the file.
        QCOMPARE(rig.captures, QStringList({"new1", "start1", "stop1", "delete1", "new2", "start2"}));
        QCOMPARE(rig.gui, QStringList({"shown:中", "hidden", "closed", "shown:中"}));
        // The hold counts from the second press.
        rig.now += 150;
        rig.send(MouseButtons::SideUp);
        QCOMPARE(isRecordingFlag(), 0);
        QCOMPARE(rig.captures.last(), "delete2");
        rig.hold(MouseButtons::SideDown, MouseButtons::SideUp, 300);
        QCOMPARE(isRecordingFlag(), 1);
        QCOMPARE(m_dir->read("record.wav"), QByteArray("RIFF3"));
    }

    void levelBuffersOfTheCurrentPressOnly() {
        setMode("typing");
        Rig rig;
        QSignalSpy levels(rig.monitor.get(), &MonitorSideKey::levelBuffer);
        rig.send(MouseButtons::SideDown);
        static_cast<FakeCapture*>(rig.monitor->currentCapture())->feed(QByteArray(3200, '\x10'));
        QCOMPARE(levels.count(), 1);
        QCOMPARE(levels.at(0).at(0).value<QAudioBuffer>().frameCount(), 1600);
        rig.hold(MouseButtons::SideDown, MouseButtons::SideUp, 300);
        QCOMPARE(levels.count(), 1);
    }

    void destroyedWhileRecording() {
        setMode("typing");
        Rig rig;
        rig.send(MouseButtons::SideDown);
        QVERIFY(QFile::exists("record.wav"));
        rig.monitor.reset();
        QCOMPARE(rig.captures, QStringList({"new1", "start1", "stop1", "delete1"}));
        QCOMPARE(rig.gui, QStringList({"shown:中", "hidden", "closed"}));
        QVERIFY(!QFile::exists("record.wav"));
        QCOMPARE(isRecordingFlag(), 0);
    }
};

QTEST_MAIN(TestMonitorSideKey)
#include "tst_monitorsidekey.moc"
