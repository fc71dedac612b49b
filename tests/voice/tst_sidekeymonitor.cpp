#include "app/ConfigStore.h"
#include "platform/fake/FakeForegroundWindow.h"
#include "platform/fake/FakeMouseButtons.h"
#include "tests/support/Rows.h"
#include "tests/support/TestDir.h"
#include "voice/SideKeyMonitor.h"

#include <QtTest>
#include <optional>

// A capture that records nothing: it writes a stand-in "record.wav" at start and logs its life
// ("new1", "start1", "stop1", "delete1"), so the tests can follow each press's recorder.
class FakeCapture : public AudioCapture {
public:
    FakeCapture(QStringList* log, int id) : m_log(log), m_id(QString::number(id)) { *m_log << "new" + m_id; }
    ~FakeCapture() override { *m_log << "delete" + m_id; }
    bool startRecording(const QString& path) override {
        *m_log << "start" + m_id;
        QFile file(path);
        if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            file.write("RIFF" + m_id.toLatin1());
        return m_running = true;
    }
    void stopRecording() override {
        if (m_running)
            *m_log << "stop" + m_id;
        m_running = false;
    }

private:
    QStringList* m_log;
    QString m_id;
    bool m_running = false;
};

// The monitor on fake seams, a fake clock and fake captures. `log` lists in order the captures'
// lives and what the monitor asks the GUI for.
struct Rig {
    QStringList log; // before the monitor, which may still stop a capture when it goes
    TakeQueue takes;
    int captures = 0, startMs = 0; // captures made, and how long one takes to start
    qint64 now = 1'700'000'000'000;
    FakeMouseButtons* buttons = new FakeMouseButtons;
    FakeForegroundWindow* foreground = new FakeForegroundWindow;
    std::unique_ptr<SideKeyMonitor> monitor{new SideKeyMonitor(
        std::unique_ptr<MouseButtons>(buttons), std::unique_ptr<ForegroundWindow>(foreground))};

    Rig() {
        SideKeyMonitor* m = monitor.get();
        m->setClock([this] { return now; });
        m->setTakeQueue(&takes);
        m->setCaptureFactory([this] {
            now += startMs;
            return std::make_unique<FakeCapture>(&log, ++captures);
        });
        QObject::connect(m, &SideKeyMonitor::recorderShown, [this](bool hasCaret, QPoint at, QString mark) {
            log << "shown:" + mark + (hasCaret ? QString("@%1,%2").arg(at.x()).arg(at.y()) : QString());
        });
        QObject::connect(m, &SideKeyMonitor::recorderClosed, [this] { log << "closed"; });
        QObject::connect(m, &SideKeyMonitor::commandNoticeShown, [this](QString text) { log << text; });
        QObject::connect(m, &SideKeyMonitor::commandNoticeHidden, [this] { log << "hidden"; });
        QObject::connect(m, &SideKeyMonitor::shortPressNoticeShown,
                         [this](QString text, int ms) { log << QString("%1:%2").arg(text).arg(ms); });
        QObject::connect(m, &SideKeyMonitor::urlRequested, [this](QUrl url) { log << url.toString(); });
    }

    // Settings "Key=value ...": `window` and `caret` (x,y) set the foreground window, `start`
    // the capture's start-up time; the rest go to the store.
    void configure(const QString& settings) {
        for (const QString& setting : settings.split(' ', Qt::SkipEmptyParts)) {
            const QString key = setting.section('=', 0, 0), value = setting.section('=', 1);
            if (key == "window")
                foreground->windowClass = value;
            else if (key == "caret")
                foreground->caret = QPoint(value.section(',', 0, 0).toInt(), value.section(',', 1).toInt());
            else if (key == "start")
                startMs = value.toInt();
            else
                ConfigStore::instance()[key] = value.toInt();
        }
    }
    // Sends the mouse messages named in the script; a number lets that many milliseconds pass.
    void play(const QString& script) {
        for (const QString& step : script.split(' ')) {
            bool isTime = false;
            const int ms = step.toInt(&isTime);
            const int message = QMetaEnum::fromType<MouseButtons::Message>().keyToValue(qPrintable(step));
            QVERIFY2(isTime || message >= 0, qPrintable("unknown step " + step));
            if (isTime)
                now += ms;
            else
                buttons->send(MouseButtons::Message(message));
        }
    }
};

using Press = Rows<QString, QString, QString>; // settings, script, what happened

class TestSideKeyMonitor : public QObject {
    Q_OBJECT
    std::optional<TestDir> m_dir;

private slots:
    void init() { m_dir.emplace(); }

    // What a sequence of events did, then the saved IsRecording, the takes queued for the
    // recognition thread with their samples, and what "record.wav" holds.
    void presses_data() {
        const Press row;
        const char *typing = "TypingModel=1", *hold = "SideDown 1000 SideUp";
        // A hold kept for recognition, with and without the recorder window.
        const char* shown = "new1 start1 shown:中 stop1 delete1 hidden closed IsRecording=1 released RIFF1";
        const char* unseen = "new1 start1 stop1 delete1 hidden closed IsRecording=1 released RIFF1";
        row("typing exactly 200 ms", typing, "SideDown 200 SideUp", shown);
        row("typing 199 ms tap", typing, "SideDown 199 SideUp",
            "new1 start1 shown:中 请稍等片刻！:500 stop1 delete1 hidden closed IsRecording=0 cancelled");
        row("intelligent, editor", "IntelligenceModel=1 window=Notepad", hold, shown);
        row("intelligent, browser", "IntelligenceModel=1 window=Chrome_WidgetWin_1", hold,
            "new1 start1 请说口令！ stop1 delete1 hidden closed IsRecording=1 released RIFF1");
        row("intelligent, no window", "IntelligenceModel=1", hold, unseen);
        // The recorder takes 150 ms to start; the hold is measured from after that.
        row("set-up time does not count", "TypingModel=1 ClosePrompt=1 start=150", "SideDown 100 SideUp",
            "new1 start1 stop1 delete1 hidden closed IsRecording=0 cancelled");
        // A lost release: the first recorder is stopped and gone before the second one opens the
        // file, and the hold counts from the second press.
        row("second down", "TypingModel=1 ClosePrompt=1",
            "SideDown 500 SideDown 150 SideUp 10 SideDown 300 SideUp",
            "new1 start1 stop1 delete1 hidden closed new2 start2 stop2 delete2 hidden closed "
            "new3 start3 stop3 delete3 hidden closed IsRecording=1 cancelled cancelled released RIFF3");

        // The mark of the active mode, at the caret.
        row("typing 1",
            "TypingModel=1 TypingLanguage=1 IntelligenceLanguage=3 TranslationLanguage=2 caret=640,480",
            "SideDown", "new1 start1 shown:英@640,480 IsRecording=0 held RIFF1");
        row("intelligent 3", "IntelligenceModel=1 IntelligenceLanguage=3 window=Notepad", "SideDown",
            "new1 start1 shown:川 IsRecording=0 held RIFF1");
        // Two modes on (a damaged config.txt): translation is checked last and wins.
        row("two modes", "TypingModel=1 TranslationModel=1 TypingLanguage=4 TranslationLanguage=1",
            "SideDown", "new1 start1 shown:英 IsRecording=0 held RIFF1");

        // A long middle-button hold opens the product page.
        row("middle 3001 ms", "", "MiddleDown 3001 MiddleUp",
            "http://www.zorvel.com/mouse IsRecording=0 waiting");
    }
    void presses() {
        const auto [settings, script, expected] = Press::fetch();
        m_dir->write("record.wav", "waiting"); // the take of an earlier press, not yet recognised
        Rig rig;
        rig.configure(settings);
        rig.play(script);
        ConfigStore::instance().reload(); // saved for the recognition thread, not only set in memory
        rig.log << "IsRecording=" + QString::number(ConfigStore::instance()["IsRecording"]);
        static const char* const states[] = {"held", "released", "cancelled"};
        while (rig.takes.size() > 0) {
            const TakeQueue::TakePtr take = rig.takes.waitForFront();
            rig.log << states[int(rig.takes.state(take))];
            rig.takes.finish(take);
        }
        if (QFile::exists("record.wav"))
            rig.log << m_dir->read("record.wav");
        QCOMPARE(rig.log.join(' '), expected);
    }
};

QTEST_MAIN(TestSideKeyMonitor)
#include "tst_sidekeymonitor.moc"
