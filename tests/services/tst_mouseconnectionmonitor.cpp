#include "app/ConfigStore.h"
#include "app/NoticeBox.h"
#include "platform/fake/FakeDeviceList.h"
#include "platform/linux/LinuxDeviceList.h"
#include "services/MouseConnectionMonitor.h"
#include "tests/support/MessageLog.h"
#include "tests/support/Rows.h"
#include "tests/support/TestDir.h"

#include <QDir>
#include <QFile>
#include <QtTest>
#include <cstdio>

// One letter per hardware ID in a step of a scenario: I the sound-card interface, D the mouse
// device, d the mouse's own interface (longer than 30 characters), h 30 characters but not "USB",
// i another interface of the sound card; anything else an unrelated device.
static QString idFor(QChar letter) {
    static const QHash<QChar, QString> ids{{'I', "USB\\VID_0D8C&PID_0132&REV_0100&MI_00"},
                                           {'D', "USB\\VID_04D9&PID_A09F&REV_0237"},
                                           {'d', "USB\\VID_04D9&PID_A09F&REV_0237&MI_01"},
                                           {'h', "HID\\VID_04D9&PID_A09F&REV_0237"},
                                           {'i', "USB\\VID_0D8C&PID_0132&REV_0100&MI_03"}};
    return ids.value(letter, "USB\\VID_8087&PID_0024&REV_0000");
}

using Scenario =
    Rows<int, int, QStringList, QStringList, QString>; // stored, closePrompt, steps, outcomes, keys

class TestMouseConnectionMonitor : public QObject {
    Q_OBJECT
private slots:
    void init() { m_dir.reset(new TestDir); }
    void cleanup() { m_dir.reset(); }

    // Each step is one check over the hardware IDs its letters name ("!" = the list cannot be
    // read); each outcome says what that check reported: "C" connected, "L" lost, "LS" lost with
    // the sound-card notice, "-" nothing. keys is the stored state after each step.
    void scenarios_data() {
        const Scenario row;

        row("connect at start", 0, 0, {"xID", "IDx", "ID"}, {"C", "-", "-"}, "111");
        row("unplug once, replug", 0, 0, {"ID", "", "x", "", "ID", "ID"}, {"C", "L", "-", "-", "C", "-"},
            "100011");
        row("connected at last exit, still there", 1, 0, {"ID", "ID"}, {"-", "-"}, "11");
        row("connected at last exit, now gone", 1, 0, {"", ""}, {"L", "-"}, "00");
        row("device missing, interface present", 0, 0, {"ID", "I", "I", "ID"}, {"C", "LS", "-", "-"}, "1000");
        row("interface missing, device present", 0, 0, {"ID", "D", "D", "ID"}, {"C", "L", "-", "-"}, "1000");
        row("two matching device IDs never connect", 0, 0, {"IDD", "IDD", "IDD"}, {"-", "-", "-"}, "000");
        row("list unreadable", 1, 0, {"!", "!", "ID"}, {"L", "-", "C"}, "001");
        row("notices off", 0, 1, {"ID", "I", "", "ID"}, {"C", "LS", "L", "C"}, "1001");
    }

    void scenarios() {
        const auto [stored, closePrompt, steps, outcomes, keys] = Scenario::fetch();

        ConfigStore& store = ConfigStore::instance();
        store["MonitorZorvelMouseConnect"] = stored;
        store["ClosePrompt"] = closePrompt;
        QVERIFY(store.save());

        auto* fake = new FakeDeviceList;
        MouseConnectionMonitor monitor(nullptr, std::unique_ptr<DeviceList>(fake));
        auto* box = monitor.findChild<NoticeBox*>();
        QVERIFY(box);

        const QMap<QString, QPair<QStringList, QString>> reports{
            {"C", {{"Zorvel connecting Successed !"}, "已检测到Zorvel鼠标"}},
            {"L", {{"Zorvel connecting Failed !"}, "鼠标未连接"}},
            {"LS", {{"Zorvel connecting Failed !", "Zorvel sound card connecting Failed !"}, "声卡异常"}}};
        MessageLog log;
        for (int i = 0; i < steps.size(); ++i) {
            const QString& step = steps[i];
            fake->readable = step != "!";
            fake->ids.clear();
            for (QChar c : step)
                fake->ids << idFor(c);
            box->hide();
            log.clear();

            monitor.checkDevices();

            const QString what = QString("step %1 \"%2\"").arg(i).arg(step);
            const auto [expectedLines, notice] = reports.value(outcomes[i]);
            QVERIFY2(log.debugLines() == expectedLines,
                     qPrintable(what + ": " + log.debugLines().join(" | ")));
            QVERIFY2(box->isVisible() == (closePrompt == 0 && !notice.isEmpty()), qPrintable(what));
            if (box->isVisible())
                QVERIFY2(box->text() == notice, qPrintable(what + ": " + box->text()));
            // Every change is saved at once.
            const QByteArray key = "MonitorZorvelMouseConnect=" + keys.mid(i, 1).toLatin1();
            QVERIFY2(m_dir->read("config.txt").contains(key), qPrintable(what));
            const bool unreadable = step == "!" && (i == 0 || steps[i - 1] != "!");
            QCOMPARE(log.warnings().contains("Device Manager , get classdev failed !"), unreadable);
        }
    }

    void timerRunsTheCheckEverySecond() {
        auto* fake = new FakeDeviceList;
        fake->ids << idFor('I') << idFor('D');
        MouseConnectionMonitor monitor(nullptr, std::unique_ptr<DeviceList>(fake));
        QTRY_COMPARE_WITH_TIMEOUT(int(ConfigStore::instance()["MonitorZorvelMouseConnect"]), 1, 5000);
        fake->ids.clear();
        QTRY_COMPARE_WITH_TIMEOUT(int(ConfigStore::instance()["MonitorZorvelMouseConnect"]), 0, 5000);
    }

    void sysfsBackendGivesWindowsFormIds() {
        // A device tree as the kernel lays it out, and the bus folder of symlinks into it.
        const QString root = m_dir->path();
        auto device = [&](const QString& path, const char* vendor, const char* product, const char* rev) {
            QDir().mkpath(root + "/devices/" + path);
            m_dir->write("devices/" + path + "/idVendor", QByteArray(vendor) + "\n");
            m_dir->write("devices/" + path + "/idProduct", QByteArray(product) + "\n");
            m_dir->write("devices/" + path + "/bcdDevice", QByteArray(rev) + "\n");
        };
        auto iface = [&](const QString& path, const char* number) {
            QDir().mkpath(root + "/devices/" + path);
            m_dir->write("devices/" + path + "/bInterfaceNumber", QByteArray(number) + "\n");
        };
        device("usb1", "1d6b", "0002", "0601"); // the root hub
        iface("usb1/1-0:1.0", "00");
        device("usb1/1-1", "04d9", "a09f", "0237");
        iface("usb1/1-1/1-1:1.0", "00");
        iface("usb1/1-1/1-1:1.1", "01");
        device("usb1/1-2", "0d8c", "0132", "0100");
        iface("usb1/1-2/1-2:1.0", "00");
        iface("usb1/1-2/1-2:1.3", "03");
        QDir().mkpath(root + "/devices/usb1/1-3"); // being removed: no attributes left
        QDir().mkpath(root + "/bus");
        for (const QString target :
             {"usb1", "usb1/1-0:1.0", "usb1/1-1", "usb1/1-1/1-1:1.0", "usb1/1-1/1-1:1.1", "usb1/1-2",
              "usb1/1-2/1-2:1.0", "usb1/1-2/1-2:1.3", "usb1/1-3"})
            QVERIFY(QFile::link(root + "/devices/" + target, root + "/bus/" + target.section('/', -1)));

        LinuxDeviceList list(root + "/bus");
        bool ok = false;
        const QStringList ids = list.hardwareIds(256, &ok);
        QVERIFY(ok);
        const QStringList expected{
            "USB\\VID_1D6B&PID_0002&REV_0601&MI_00", "USB\\VID_04D9&PID_A09F&REV_0237",
            "USB\\VID_04D9&PID_A09F&REV_0237&MI_00", "USB\\VID_04D9&PID_A09F&REV_0237&MI_01",
            "USB\\VID_0D8C&PID_0132&REV_0100",       "USB\\VID_0D8C&PID_0132&REV_0100&MI_00",
            "USB\\VID_0D8C&PID_0132&REV_0100&MI_03", "USB\\VID_1D6B&PID_0002&REV_0601"};
        QCOMPARE(ids, expected);
        QCOMPARE(list.hardwareIds(3, &ok), expected.mid(0, 3));

        // A later list sees a removed entry, and one made anew under a known name (another inode).
        device("usb1/1-2b", "bbbb", "0002", "0100");
        QVERIFY(QFile::link(root + "/devices/usb1/1-2b", root + "/bus/new"));
        QCOMPARE(std::rename(qPrintable(root + "/bus/new"), qPrintable(root + "/bus/1-2")), 0);
        QVERIFY(QFile::remove(root + "/bus/1-1:1.1"));
        QStringList later = expected;
        later[4] = "USB\\VID_BBBB&PID_0002&REV_0100";
        later.removeAt(3);
        QCOMPARE(list.hardwareIds(256, &ok), later);

        QVERIFY(LinuxDeviceList(root + "/missing").hardwareIds(256, &ok).isEmpty());
        QVERIFY(!ok);
    }

private:
    std::unique_ptr<TestDir> m_dir;
};

QTEST_MAIN(TestMouseConnectionMonitor)
#include "tst_mouseconnectionmonitor.moc"
