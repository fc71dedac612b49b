#include "app/AutoStart.h"
#include "platform/fake/FakeStartAtLogon.h"
#include "platform/linux/LinuxStartAtLogon.h"
#include "tests/support/TestDir.h"

#include <QtTest>

class TestAutoStart : public QObject {
    Q_OBJECT
private slots:
    void init() {
        m_dir.reset(new TestDir);
        qputenv("XDG_CONFIG_HOME", m_dir->path().toUtf8());
    }
    void cleanup() { m_dir.reset(); }

    void followsEnableFlagThroughSeam() {
        FakeStartAtLogon fake;
        setAutoStart(true, &fake);
        QVERIFY(fake.present);
        QCOMPARE(fake.path, QCoreApplication::applicationFilePath());
        setAutoStart(false, &fake);
        QVERIFY(!fake.present);
    }

    void desktopEntryWrittenAndRemoved_data() {
        QTest::addColumn<QString>("exe");
        QTest::addColumn<QString>("execLine");
        QTest::newRow("plain") << "/opt/zorvel/zorvel"
                               << "Exec=\"/opt/zorvel/zorvel\"";
        QTest::newRow("space and quote") << "/home/a b/z\"v"
                                         << "Exec=\"/home/a b/z\\\"v\"";
        QTest::newRow("percent") << "/x/100%/zorvel"
                                 << "Exec=\"/x/100%%/zorvel\"";
        QTest::newRow("chinese") << "/home/用户/zorvel"
                                 << "Exec=\"/home/用户/zorvel\"";
    }
    void desktopEntryWrittenAndRemoved() {
        QFETCH(QString, exe);
        QFETCH(QString, execLine);
        LinuxStartAtLogon seam;
        const QString entry = m_dir->file("autostart/Zorvel.desktop");
        QCOMPARE(LinuxStartAtLogon::entryPath(), entry);
        seam.enable(exe);
        const QString text = QString::fromUtf8(m_dir->read("autostart/Zorvel.desktop"));
        QVERIFY(text.startsWith("[Desktop Entry]\n"));
        QVERIFY2(text.split('\n').contains(execLine), qPrintable(text));
        seam.disable();
        QVERIFY(!QFile::exists(entry));
        seam.disable(); // absent: no error
    }

    void defaultsToHomeConfig() {
        qputenv("XDG_CONFIG_HOME", "");
        QCOMPARE(LinuxStartAtLogon::entryPath(), QDir::homePath() + "/.config/autostart/Zorvel.desktop");
    }

private:
    std::unique_ptr<TestDir> m_dir;
};

QTEST_GUILESS_MAIN(TestAutoStart)
#include "tst_autostart.moc"
