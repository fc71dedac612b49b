// Starts the real executable from a private copy, so its working directory, settings, log files,
// start-at-logon entry and single-instance socket all lie in the test's own folder.
#include "tests/support/TestDir.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QRegularExpression>
#include <QtTest>

class TestStartup : public QObject {
    Q_OBJECT
private slots:
    void init() {
        m_dir.reset(new TestDir(QStringLiteral("程序 dir")));
        QVERIFY(QFile::copy(qEnvironmentVariable("ZORVEL_BIN_DIR") + "/zorvel", m_dir->file("zorvel")));
        QFile::setPermissions(m_dir->file("zorvel"),
                              QFile::permissions(m_dir->file("zorvel")) | QFile::ExeOwner);
        QDir().mkpath(m_dir->file("tmp"));
        QDir().mkpath(m_dir->file("xdg"));
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

    void firstStartWritesSettingsAndLogs() {
        QProcess* first = start();
        QTRY_VERIFY_WITH_TIMEOUT(!logText().isEmpty(), 15000);
        QVERIFY2(first->state() == QProcess::Running, first->readAllStandardError().constData());
        const QStringList logs = QDir(m_dir->file("logs")).entryList({"*.log"});
        QCOMPARE(logs.size(), 1);
        QVERIFY2(QRegularExpression("^\\d{14}\\.log$").match(logs.first()).hasMatch(),
                 qPrintable(logs.first()));
        QVERIFY(logText().contains("INFO: ("));
        QVERIFY(logText().contains(") \"主程序启动\"\r\n"));
        // FirstOpen was set and saved: the file is in ascending key order now.
        // FirstOpen is saved first; the first-use hint then registers the program to start at logon.
        QTRY_VERIFY(m_dir->read("config.txt").startsWith("AutomaticUpdate=1\nBootUp=1\nClosePrompt=0\nFirstOpen=1\n"));
        QTRY_VERIFY(QFile::exists(m_dir->file("xdg/autostart/Zorvel.desktop")));
    }

    void secondInstanceExitsAtOnce() {
        // Not a first start, so the first instance has no settings of its own left to save.
        m_dir->write("config.txt", "FirstOpen=1\n");
        QProcess* first = start();
        QTRY_VERIFY_WITH_TIMEOUT(logText().contains("主程序启动"), 15000);
        const QByteArray config = m_dir->read("config.txt");
        QElapsedTimer timer;
        timer.start();
        QProcess* second = start({"handover"});
        QVERIFY(second->waitForFinished(10000));
        qInfo("second instance ended after %lld ms", timer.elapsed());
        QCOMPARE(second->exitStatus(), QProcess::NormalExit);
        QCOMPARE(second->exitCode(), 0);
        QCOMPARE(first->state(), QProcess::Running);
        QCOMPARE(m_dir->read("config.txt"), config);
        QCOMPARE(logText().count("主程序启动"), 1);
    }

    void bootUpControlsAutostartEntry_data() {
        QTest::addColumn<int>("bootUp");
        QTest::addColumn<bool>("entryBefore");
        QTest::addColumn<bool>("entryAfter");
        QTest::newRow("on") << 1 << false << true;
        QTest::newRow("off removes") << 0 << true << false;
        QTest::newRow("other value leaves it") << 2 << true << true;
    }
    void bootUpControlsAutostartEntry() {
        QFETCH(int, bootUp);
        QFETCH(bool, entryBefore);
        QFETCH(bool, entryAfter);
        const QString entry = m_dir->file("xdg/autostart/Zorvel.desktop");
        if (entryBefore) {
            QDir().mkpath(m_dir->file("xdg/autostart"));
            m_dir->write("xdg/autostart/Zorvel.desktop", "[Desktop Entry]\nExec=old\n");
        }
        m_dir->write("config.txt", QStringLiteral("BootUp=%1\nFirstOpen=1\n").arg(bootUp).toLatin1());
        start();
        QTRY_VERIFY_WITH_TIMEOUT(logText().contains("主程序启动"), 15000);
        QTRY_COMPARE(QFile::exists(entry), entryAfter);
        if (bootUp == 1)
            QVERIFY(m_dir->read("xdg/autostart/Zorvel.desktop")
                        .contains(("Exec=\"" + m_dir->file("zorvel") + "\"").toUtf8()));
    }

private:
    QProcess* start(const QStringList& args = {}) {
        auto* p = new QProcess;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("QT_QPA_PLATFORM", "offscreen");
        env.insert("TMPDIR", m_dir->file("tmp"));
        env.insert("XDG_CONFIG_HOME", m_dir->file("xdg"));
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

QTEST_GUILESS_MAIN(TestStartup)
#include "tst_startup.moc"
