// Starts the real executable from a private copy, so its working directory, settings, log files,
// start-at-logon entry and single-instance socket all lie in the test's own folder. The test
// itself runs as a first instance too, in a runtime folder of its own, to receive what second
// starts of the real executable hand over.
#include "app/ConfigStore.h"
#include "app/SingleApplication.h"
#include "app/StartRequestHandler.h"
#include "platform/fake/FakeForegroundWindow.h"
#include "platform/fake/FakeMouseButtons.h"
#include "tests/support/Rows.h"
#include "tests/support/TestDir.h"
#include "ui/MainWindow.h"
#include "voice/SideKeyMonitor.h"
#include "voice/SideKeyThread.h"
#include "voice/TakeQueue.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QRegularExpression>
#include <QtTest>
#include <atomic>
#include <csignal>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
// Records nothing: the takes of these tests need no microphone.
class SilentCapture : public AudioCapture {
public:
    bool startRecording(const QString&) override { return true; }
    void stopRecording() override {}
};

// Another user's server on a local socket: listens at argv[1] (making its folder), creates the
// file argv[2] once it listens and appends to it every request it receives.
const char kSquatter[] = R"(import os, socket, sys
path, received = sys.argv[1], sys.argv[2]
os.makedirs(os.path.dirname(path), 0o700, exist_ok=True)
server = socket.socket(socket.AF_UNIX)
server.bind(path)
server.listen(8)
open(received, 'wb').close()
while True:
    connection, _ = server.accept()
    data = connection.recv(4096)
    if data:
        with open(received, 'ab') as f:
            f.write(data + b'\n')
    connection.close()
)";

using Squat = Rows<bool, QString, QString, QString>;
} // namespace

class TestStartup : public QObject {
    Q_OBJECT
private slots:
    void init() {
        m_dir.reset(new TestDir(QStringLiteral("程序 dir")));
        QVERIFY(QFile::copy(qEnvironmentVariable("ZORVEL_BIN_DIR") + "/zorvel", m_dir->file("zorvel")));
        QFile::setPermissions(m_dir->file("zorvel"),
                              QFile::permissions(m_dir->file("zorvel")) | QFile::ExeOwner);
        for (const char* folder : {"tmp", "xdg", "run"})
            QDir().mkpath(m_dir->file(folder));
        QFile::setPermissions(m_dir->file("run"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    void cleanup() {
        for (QProcess* p : m_processes) {
            p->kill();
            p->waitForFinished(5000);
            delete p;
        }
        m_processes.clear();
        m_dir.reset();
    }

    // A first start saves FirstOpen and, through the first-use hint, BootUp and the start-at-logon
    // entry; on later starts BootUp decides the entry. Each start logs to one new file. A second
    // instance then ends at once, leaving the first running and its settings and log as they were.
    void startThenSecondInstance_data() {
        const Rows<int, bool, bool> row; // BootUp (-1: no settings yet), entry before, entry after
        row("first start", -1, false, true);
        row("off removes", 0, true, false);
    }
    void startThenSecondInstance() {
        const auto [bootUp, entryBefore, entryAfter] = Rows<int, bool, bool>::fetch();
        const QString entry = m_dir->file("xdg/autostart/Zorvel.desktop");
        if (entryBefore) {
            QDir().mkpath(m_dir->file("xdg/autostart"));
            m_dir->write("xdg/autostart/Zorvel.desktop", "[Desktop Entry]\nExec=old\n");
        }
        if (bootUp >= 0)
            m_dir->write("config.txt", QStringLiteral("BootUp=%1\nFirstOpen=1\n").arg(bootUp).toLatin1());
        QProcess* first = start();
        QTRY_VERIFY_WITH_TIMEOUT(logText().contains(") \"主程序启动\"\r\n"), 15000);
        QVERIFY2(first->state() == QProcess::Running, first->readAllStandardError().constData());
        const QStringList logs = QDir(m_dir->file("logs")).entryList({"*.log"});
        QCOMPARE(logs.size(), 1);
        QVERIFY2(QRegularExpression("^\\d{14}\\.log$").match(logs.first()).hasMatch(),
                 qPrintable(logs.first()));
        if (bootUp < 0) // saved in ascending key order
            QTRY_VERIFY(m_dir->read("config.txt")
                            .startsWith("AutomaticUpdate=1\nBootUp=1\nClosePrompt=0\nFirstOpen=1\n"));
        QTRY_COMPARE(QFile::exists(entry), entryAfter);

        // The first instance saves again after its first device check (late under sanitizers):
        // wait until config.txt has stayed the same for three seconds.
        QByteArray config = m_dir->read("config.txt");
        QElapsedTimer quiet, overall;
        quiet.start();
        overall.start();
        while (quiet.elapsed() < 3000 && overall.elapsed() < 30000) {
            QTest::qWait(250);
            if (m_dir->read("config.txt") != config) {
                config = m_dir->read("config.txt");
                quiet.restart();
            }
        }
        QProcess* second = start();
        QVERIFY(second->waitForFinished(10000));
        QCOMPARE(second->exitStatus(), QProcess::NormalExit);
        QCOMPARE(second->exitCode(), 0);
        QCOMPARE(first->state(), QProcess::Running);
        QCOMPARE(m_dir->read("config.txt"), config);
        QCOMPARE(logText().count("主程序启动"), 1);
    }

    // Another user got there first: the program must neither hand its request to the stranger
    // nor stay away; it starts and carries the request out itself.
    void squatterIsRefused_data() {
        // XDG_RUNTIME_DIR given, where the squatter listens, where its socket is moved to (as root
        // can), the warning
        const Squat row;
        const QString user = QString::fromLocal8Bit(getpwuid(geteuid())->pw_name);
        row("user's name in the shared temporary folder", true, QString("tmp/PelmoraTWQX-%1").arg(geteuid()),
            "", "");
        row("another user's server in the runtime folder", true, "tmp/squat", "run/PelmoraTWQX",
            "belongs to another user");
        row("fallback folder planted by another user", false, "tmp/runtime-" + user + "/PelmoraTWQX", "",
            "no private folder");
    }
    void squatterIsRefused() {
        const auto [runtimeFolder, bindAt, moveTo, warning] = Squat::fetch();
        if (geteuid() != 0)
            QSKIP("only root can run the squatter as another user");
        // The squatter (nobody) may pass through the test's folders and write in its "tmp".
        for (const QString& dir : {QFileInfo(m_dir->path()).path(), m_dir->path()})
            QVERIFY(::chmod(QFile::encodeName(dir).constData(), 0711) == 0);
        QVERIFY(::chmod(QFile::encodeName(m_dir->file("tmp")).constData(), 01777) == 0);
        auto* squatter = new QProcess;
        m_processes << squatter;
        squatter->start("setpriv", {"--reuid=65534", "--regid=65534", "--clear-groups", "/usr/bin/python3",
                                    "-c", kSquatter, m_dir->file(bindAt), m_dir->file("tmp/received")});
        QTRY_VERIFY2_WITH_TIMEOUT(QFile::exists(m_dir->file("tmp/received")),
                                  squatter->readAllStandardError().constData(), 10000);
        if (!moveTo.isEmpty())
            QVERIFY(QFile::rename(m_dir->file(bindAt), m_dir->file(moveTo)));

        m_dir->write("config.txt", "FirstOpen=1\n");
        QProcess* zorvel = start({"--mode", "translation"}, runtimeFolder ? m_dir->file("run") : QString());
        QTRY_VERIFY_WITH_TIMEOUT(logText().contains("主程序启动"), 15000);
        QTRY_VERIFY(m_dir->read("config.txt").contains("TranslationModel=1"));
        QCOMPARE(zorvel->state(), QProcess::Running);
        QCOMPARE(m_dir->read("tmp/received"), QByteArray());
        if (!warning.isEmpty())
            QVERIFY2(logText().contains(warning), qPrintable(logText()));
    }

    // What second starts ask for reaches this process's own instance: the main window, takes
    // through the side-key monitor on its thread (its clock moved by "+ms"), the working mode.
    void secondStartReachesRunningInstance_data() {
        const Rows<QStringList, QString> row; // the starts, what was seen
        row("plain start", {""}, "window:shown TypingModel");
        row("begin, end", {"--take begin", "+300", "--take end"}, "press release flagged TypingModel");
        row("begin again keeps the take", {"--take begin", "+300", "--take begin", "--take end"},
            "press release flagged TypingModel");
        row("end without a take", {"--take end"}, "TypingModel");
        row("mode and take", {"--mode translation", "--take toggle", "+200", "--take toggle"},
            "press release flagged TranslationModel");
    }
    void secondStartReachesRunningInstance() {
        const auto [starts, events] = Rows<QStringList, QString>::fetch();
        m_dir->write("config.txt", "FirstOpen=1\nTypingModel=1\n");
        TestDir::reloadSettings();
        ConfigStore& store = ConfigStore::instance();
        auto* app = qobject_cast<SingleApplication*>(qApp);
        QStringList seen;
        int received = 0;
        std::atomic<qint64> now{1'700'000'000'000};
        SideKeyMonitor* monitor = nullptr;

        MainWindow window;
        StartRequestHandler handler;
        TakeQueue takes;
        SideKeyThread thread;
        thread.setTakeQueue(&takes);
        thread.setMonitorFactory([&now] {
            auto m = std::make_unique<SideKeyMonitor>(std::make_unique<FakeMouseButtons>(),
                                                      std::make_unique<FakeForegroundWindow>());
            m->setClock([&now] { return now.load(); });
            m->setCaptureFactory([] { return std::make_unique<SilentCapture>(); });
            return m;
        });
        // Wired as start-up wires the program.
        connect(app, &SingleApplication::requestReceived, &handler, &StartRequestHandler::handle);
        connect(app, &SingleApplication::requestReceived, &handler, [&received] { ++received; });
        connect(&handler, &StartRequestHandler::showMainWindowRequested, &window, &MainWindow::showWindow);
        connect(&handler, &StartRequestHandler::showMainWindowRequested, &window,
                [&] { seen << (window.isVisible() ? "window:shown" : "window:hidden"); });
        connect(
            &thread, &SideKeyThread::monitorReady, &handler,
            [&](SideKeyMonitor* m) {
                connect(&handler, &StartRequestHandler::takeRequested, m, &SideKeyMonitor::remoteTake);
                connect(m, &SideKeyMonitor::recorderShown, &window, [&] { seen << "press"; });
                connect(m, &SideKeyMonitor::shortPressNoticeShown, &window, [&] { seen << "tap"; });
                connect(m, &SideKeyMonitor::recorderClosed, &window, [&] {
                    seen << "release";
                    // A kept take waits for recognition with the flag raised.
                    if (takes.size() == 1 && store["IsRecording"] == 1)
                        seen << "flagged";
                    while (takes.size() > 0)
                        takes.finish(takes.waitForFront());
                });
                monitor = m;
            },
            Qt::QueuedConnection);
        thread.start();
        QTRY_VERIFY(monitor);

        for (const QString& step : starts) {
            if (step.startsWith('+')) {
                // Queued behind the takes already sent to the monitor's thread.
                const int ms = step.mid(1).toInt();
                QMetaObject::invokeMethod(
                    monitor, [&now, ms] { now += ms; }, Qt::QueuedConnection);
                continue;
            }
            QProcess* second =
                start(step.split(' ', Qt::SkipEmptyParts), qEnvironmentVariable("XDG_RUNTIME_DIR"));
            QVERIFY(second->waitForFinished(10000));
            QCOMPARE(second->exitCode(), 0);
            const int expected = received + 1;
            QTRY_COMPARE(received, expected);
        }
        // The monitor's last signals are on their way to this thread; then the saved mode.
        const auto modes = [this] {
            QStringList on;
            for (const char* key : {"TypingModel", "IntelligenceModel", "TranslationModel"})
                if (m_dir->read("config.txt").contains(QByteArray(key) + "=1"))
                    on << key;
            return on;
        };
        QTRY_COMPARE_WITH_TIMEOUT((seen + modes()).join(' '), events, 3000);
    }

    // Answered without any display: unknown arguments end the start at once with the usage line
    // and exit code 2, --help prints the commands; a start that needs the windows says why it
    // cannot and ends with exit code 1.
    void commandLine_data() {
        const Rows<QStringList, int, QString> row; // arguments, exit code, output
        const QString usage =
            "Usage: zorvel [--take begin|end|toggle | --mode typing|intelligent|translation | --help]";
        row("help", {"--help"}, 0, usage + "\n\nWithout an argument");
        row("unknown option", {"--bogus"}, 2, "unknown argument '--bogus'\n" + usage);
        row("unknown take word", {"--take", "later"}, 2, "'later'\n" + usage);
        row("extra word", {"--take", "end", "now"}, 2, "'now'\n" + usage);
        row("take needs the windows", {"--take", "toggle"}, 1,
            "no X display (DISPLAY is not set); Zorvel is a desktop program and needs a graphical session");
    }
    void commandLine() {
        const auto [args, exitCode, output] = Rows<QStringList, int, QString>::fetch();
        QProcess* p = start(args, qEnvironmentVariable("XDG_RUNTIME_DIR"), "");
        QVERIFY(p->waitForFinished(10000));
        QCOMPARE(p->exitStatus(), QProcess::NormalExit);
        QCOMPARE(p->exitCode(), exitCode);
        const QString printed = QString::fromUtf8(p->readAllStandardOutput() + p->readAllStandardError());
        QVERIFY2(printed.contains(output), qPrintable(printed));
    }

    // The session's requests to end quit as the tray's quit entry does: the worker threads
    // stopped, exit code 0.
    void endSignalsQuitInOrder_data() {
        const Rows<int, QString> row;
        row("SIGTERM", SIGTERM, "SIGTERM");
        row("SIGINT", SIGINT, "SIGINT");
        row("SIGHUP", SIGHUP, "SIGHUP");
    }
    void endSignalsQuitInOrder() {
        const auto [number, name] = Rows<int, QString>::fetch();
        m_dir->write("config.txt", "FirstOpen=1\n");
        QProcess* p = start();
        QTRY_VERIFY_WITH_TIMEOUT(logText().contains("主程序启动"), 15000);
        QVERIFY(::kill(pid_t(p->processId()), number) == 0);
        QVERIFY(p->waitForFinished(15000));
        QCOMPARE(p->exitStatus(), QProcess::NormalExit);
        QCOMPARE(p->exitCode(), 0);
        const QString log = logText();
        QVERIFY2(QRegularExpression("Quit , " + name +
                                        " received, quitting\r\n.*\"主程序退出\"\r\n.*"
                                        "Quit , worker threads stopped\r\n",
                                    QRegularExpression::DotMatchesEverythingOption)
                     .match(log)
                     .hasMatch(),
                 qPrintable(log));
    }

    // The X server goes away under the running program, as at the end of a session: it ends with
    // exit code 1 and one line in the log, never a crash.
    void displayLossEndsCleanly() {
        for (int round = 0; round < 5; ++round) {
            QProcess xServer; // tells its display number on stdout
            xServer.start("Xvfb", {"-displayfd", "1", "-nolisten", "tcp", "-screen", "0", "800x600x24"});
            if (!xServer.waitForStarted(5000))
                QSKIP("Xvfb is not installed");
            QTRY_VERIFY_WITH_TIMEOUT(xServer.canReadLine(), 10000);
            const QString display = ":" + QString::fromLatin1(xServer.readLine()).trimmed();
            QDir(m_dir->file("logs")).removeRecursively();
            m_dir->write("config.txt", "FirstOpen=1\nMonitorZorvelMouseConnect=0\n");
            QProcess* p = start({}, "-", "xcb", display);
            QTRY_VERIFY_WITH_TIMEOUT(logText().contains("主程序启动"), 30000);
            QTest::qWait(300 * round); // the threads at different points
            xServer.kill();
            xServer.waitForFinished(5000);
            QVERIFY(p->waitForFinished(15000));
            const QString log = logText();
            QCOMPARE(p->exitStatus(), QProcess::NormalExit);
            QCOMPARE(p->exitCode(), 1);
            QVERIFY2(log.count("connection to the display was lost") == 1 &&
                         !log.contains("X11 connection broke"),
                     qPrintable(log.right(600))); // QtTest cuts longer messages
        }
    }

    // Without a tray the main window is the way in: shown at start, titled in the desktop's language
    // (LANGUAGE names it ahead of LANG). The wait is generous: beside the Wine and package tests a
    // start under xcb took longer than 15 s on two cores.
    void noTrayShowsMainWindowAtStart_data() {
        QTest::addColumn<QByteArray>("language");
        QTest::addColumn<QString>("title");
        QTest::newRow("Chinese desktop") << QByteArray("zh_CN") << "Zorvel鼠标——语音技术由云端语音服务提供";
        QTest::newRow("English desktop")
            << QByteArray("en_US") << "Zorvel mouse — speech technology by cloud speech services";
    }
    void noTrayShowsMainWindowAtStart() {
        if (qEnvironmentVariableIsEmpty("DISPLAY"))
            QSKIP("needs an X display");
        QFETCH(QByteArray, language);
        QFETCH(QString, title);
        m_dir->write("config.txt", "FirstOpen=1\nMonitorZorvelMouseConnect=0\n");
        qputenv("LANGUAGE", language);
        QProcess* p = start({}, m_dir->file("run"), "xcb");
        qunsetenv("LANGUAGE");
        QTRY_VERIFY_WITH_TIMEOUT(showsWindow(p->processId(), title), 60000);
    }

private:
    // Whether a process shows a window of the title on the X display.
    static bool showsWindow(qint64 pid, const QString& title) {
        return QProcess::execute("xdotool", {"search", "--onlyvisible", "--pid", QString::number(pid),
                                             "--name", "^" + title + "$"}) == 0;
    }

    // Starts the copy; runtimeFolder empty leaves XDG_RUNTIME_DIR unset, platform empty leaves it
    // no display at all.
    QProcess* start(const QStringList& args = {}, const QString& runtimeFolder = "-",
                    const QString& platform = "offscreen", const QString& display = {}) {
        auto* p = new QProcess;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("QT_QPA_PLATFORM", platform);
        if (platform.isEmpty()) {
            for (const char* name : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"})
                env.remove(name);
        }
        if (!display.isEmpty())
            env.insert("DISPLAY", display);
        env.insert("TMPDIR", m_dir->file("tmp"));
        env.insert("XDG_CONFIG_HOME", m_dir->file("xdg"));
        if (runtimeFolder.isEmpty())
            env.remove("XDG_RUNTIME_DIR");
        else
            env.insert("XDG_RUNTIME_DIR", runtimeFolder == "-" ? m_dir->file("run") : runtimeFolder);
        p->setProcessEnvironment(env);
        p->setWorkingDirectory(QDir::tempPath());
        p->start(m_dir->file("zorvel"), args);
        m_processes << p;
        return p;
    }
    QString logText() const {
        const QStringList logs = QDir(m_dir->file("logs")).entryList({"*.log"});
        QString text;
        for (const QString& l : logs)
            text += QString::fromUtf8(m_dir->read("logs/" + l));
        return text;
    }

    std::unique_ptr<TestDir> m_dir;
    QList<QProcess*> m_processes;
};

int main(int argc, char** argv) {
    // This process's own instance listens in a runtime folder of its own.
    QTemporaryDir runtime;
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime.path()));
    int count = 1;
    SingleApplication app(count, argv);
    app.startSingleInstance();
    TestStartup test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_startup.moc"
