#include "app/AutoStart.h"
#include "platform/fake/FakeStartAtLogon.h"
#include "platform/linux/LinuxStartAtLogon.h"
#include "tests/support/Rows.h"
#include "tests/support/TestDir.h"

#include <QtTest>

class TestAutoStart : public QObject {
    Q_OBJECT
private slots:
    void followsEnableFlagThroughSeam() {
        FakeStartAtLogon fake;
        setAutoStart(true, &fake);
        QVERIFY(fake.present);
        QCOMPARE(fake.path, QCoreApplication::applicationFilePath());
        setAutoStart(false, &fake);
        QVERIFY(!fake.present);
    }

    // The entry lies in $XDG_CONFIG_HOME; its Exec line quotes the path.
    void desktopEntryWrittenAndRemoved_data() {
        const Rows<QString, QString> row; // executable, Exec line
        row("space and quote", "/home/a b/z\"v", "Exec=\"/home/a b/z\\\"v\"");
        row("percent", "/x/100%/zorvel", "Exec=\"/x/100%%/zorvel\"");
    }
    void desktopEntryWrittenAndRemoved() {
        const auto [exe, execLine] = Rows<QString, QString>::fetch();
        TestDir dir;
        qputenv("XDG_CONFIG_HOME", dir.path().toUtf8());
        QCOMPARE(LinuxStartAtLogon::entryPath(), dir.file("autostart/Zorvel.desktop"));
        LinuxStartAtLogon seam;
        seam.enable(exe);
        const QString text = QString::fromUtf8(dir.read("autostart/Zorvel.desktop"));
        QVERIFY(text.startsWith("[Desktop Entry]\n"));
        QVERIFY2(text.split('\n').contains(execLine), qPrintable(text));
        seam.disable();
        QVERIFY(!QFile::exists(dir.file("autostart/Zorvel.desktop")));
    }
};

QTEST_GUILESS_MAIN(TestAutoStart)
#include "tst_autostart.moc"
