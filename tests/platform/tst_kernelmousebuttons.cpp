#include "platform/linux/KernelMouseButtons.h"
#include "tests/support/MessageLog.h"

#include <QDir>
#include <QTemporaryDir>
#include <QtTest>
#include <cerrno>
#include <linux/input.h>
#include <unistd.h>

namespace {

// One input event record as the kernel writes it.
QByteArray record(quint16 type, quint16 code, qint32 value) {
    input_event ev{};
    ev.type = type;
    ev.code = code;
    ev.value = value;
    return QByteArray(reinterpret_cast<const char*>(&ev), sizeof ev);
}

// A fake /sys/class/input: entry name → contents of device/capabilities/key.
void makeSysTree(const QString& root, const QHash<QString, QByteArray>& devices) {
    for (auto it = devices.cbegin(); it != devices.cend(); ++it) {
        const QString dir = root + '/' + it.key() + "/device/capabilities";
        QVERIFY(QDir().mkpath(dir));
        QFile file(dir + "/key");
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(it.value() + '\n');
    }
}

// Devices that open as the read end of a pipe, or fail with the given error.
struct PipedButtons : KernelMouseButtons {
    using KernelMouseButtons::KernelMouseButtons;
    int error = 0;
    int writeEnd = -1;
    ~PipedButtons() override {
        if (writeEnd >= 0)
            ::close(writeEnd);
    }
    int openDevice(const QString&) override {
        if (error) {
            errno = error;
            return -1;
        }
        int fds[2];
        if (::pipe(fds) != 0)
            return -1;
        writeEnd = fds[1];
        return fds[0];
    }
};

const QByteArray kFiveButtonMouse = "1f0000 0 0 0 0"; // left, right, middle, side, extra

} // namespace

class TestKernelMouseButtons : public QObject {
    Q_OBJECT
private slots:
    void discovery_data() {
        QTest::addColumn<QByteArray>("capabilities");
        QTest::addColumn<bool>("found");
        QTest::newRow("five-button mouse") << kFiveButtonMouse << true;
        QTest::newRow("extra button only") << QByteArray("100000 0 0 0 0") << true;
        QTest::newRow("three-button mouse") << QByteArray("70000 0 0 0 0") << false;
        QTest::newRow("keyboard") << QByteArray("0 0 0 7 ff9f207ac14057ff febeffdfffefffff fffffffffffffffe")
                                  << false;
        QTest::newRow("malformed") << QByteArray("1g0000 0 0 0 0") << false;
        QTest::newRow("empty") << QByteArray() << false;
    }
    void discovery() {
        QFETCH(QByteArray, capabilities);
        QFETCH(bool, found);
        QTemporaryDir sys;
        // Only event devices count: the older mouse interface of the same mouse is left out.
        makeSysTree(sys.path(), {{"event3", capabilities}, {"mouse0", kFiveButtonMouse}});
        QCOMPARE(KernelMouseButtons::sideKeyDevices(sys.path()),
                 found ? QStringList("event3") : QStringList());
    }

    void events_data() {
        QTest::addColumn<QByteArray>("records");
        QTest::addColumn<QStringList>("expected");
        const QByteArray syn = record(EV_SYN, SYN_REPORT, 0);
        QTest::newRow("side key amid motion")
            << record(EV_REL, REL_X, 4) + syn + record(EV_KEY, BTN_SIDE, 1) + syn +
                   record(EV_REL, REL_Y, -2) + record(EV_MSC, MSC_SCAN, 0x90004) + syn +
                   record(EV_KEY, BTN_SIDE, 0) + syn
            << QStringList({"SideDown", "SideUp"});
        QTest::newRow("extra button")
            << record(EV_KEY, BTN_EXTRA, 1) + syn + record(EV_KEY, BTN_EXTRA, 0) + syn
            << QStringList({"SideDown", "SideUp"});
        QTest::newRow("middle button") << record(EV_KEY, BTN_MIDDLE, 1) + syn + record(EV_KEY, BTN_MIDDLE, 0)
                                       << QStringList({"MiddleDown", "MiddleUp"});
        QTest::newRow("left and right") << record(EV_KEY, BTN_LEFT, 1) + record(EV_KEY, BTN_LEFT, 0) +
                                               record(EV_KEY, BTN_RIGHT, 1) + record(EV_KEY, BTN_RIGHT, 0)
                                        << QStringList({"Other", "Other", "Other", "Other"});
        QTest::newRow("held key repeats") << record(EV_KEY, BTN_SIDE, 1) + record(EV_KEY, BTN_SIDE, 2) +
                                                 record(EV_KEY, BTN_SIDE, 2) + record(EV_KEY, BTN_SIDE, 0)
                                          << QStringList({"SideDown", "SideUp"});
        QTest::newRow("keyboard key")
            << record(EV_KEY, KEY_A, 1) + syn + record(EV_KEY, KEY_A, 0) + syn << QStringList();
        QTest::newRow("wheel") << record(EV_REL, REL_WHEEL, 1) + syn << QStringList();
    }
    // Records arrive through a pipe, in two writes that cut a record in half; a middle click
    // at the end shows that everything before it has been read.
    void events() {
        QFETCH(QByteArray, records);
        QFETCH(QStringList, expected);
        QTemporaryDir sys;
        makeSysTree(sys.path(), {{"event7", kFiveButtonMouse}});
        PipedButtons buttons(sys.path(), sys.path());
        QStringList seen;
        connect(&buttons, &MouseButtons::mouseMessage, [&seen](MouseButtons::Message m) {
            seen << QMetaEnum::fromType<MouseButtons::Message>().valueToKey(m);
        });
        QVERIFY(buttons.start());
        records += record(EV_KEY, BTN_MIDDLE, 1) + record(EV_KEY, BTN_MIDDLE, 0);
        const int cut = records.size() / 2 + 5;
        QCOMPARE(::write(buttons.writeEnd, records.constData(), cut), ssize_t(cut));
        QTest::qWait(20);
        QCOMPARE(::write(buttons.writeEnd, records.constData() + cut, records.size() - cut),
                 ssize_t(records.size() - cut));
        QTRY_COMPARE(seen, expected + QStringList({"MiddleDown", "MiddleUp"}));
    }

    void start_data() {
        QTest::addColumn<bool>("device");
        QTest::addColumn<int>("error");
        QTest::addColumn<QString>("warning");
        QTest::newRow("readable") << true << 0 << QString();
        QTest::newRow("no read access")
            << true << EACCES
            << "no read access to the mouse's input devices (%1/event2): add the "
               "user to the \"input\" group, or bind a desktop shortcut to \"zorvel "
               "--take toggle\"";
        QTest::newRow("no such mouse") << false << 0 << "no mouse with side buttons";
    }
    void start() {
        QFETCH(bool, device);
        QFETCH(int, error);
        QFETCH(QString, warning);
        QTemporaryDir sys;
        makeSysTree(sys.path(), {{"event2", device ? kFiveButtonMouse : QByteArray("70000 0 0 0 0")}});
        const QString devRoot = sys.path() + "/dev"; // no such folder: nothing to wait for either
        PipedButtons buttons(sys.path(), devRoot);
        buttons.error = error;
        MessageLog log;
        QCOMPARE(buttons.start(), warning.isEmpty());
        QCOMPARE(log.warnings().size(), warning.isEmpty() ? 0 : 1);
        QCOMPARE(MouseButtons::deviceAccessDenied(), error == EACCES); // what the settings dialog shows
        if (!warning.isEmpty())
            QVERIFY2(log.warnings().first().contains(warning.arg(devRoot)),
                     qPrintable(log.warnings().first()));
    }

    // A mouse plugged in after the start is read as soon as its event device appears.
    void hotPlug() {
        QTemporaryDir sys, dev;
        makeSysTree(sys.path(), {{"event1", "70000 0 0 0 0"}}); // a three-button mouse
        PipedButtons buttons(sys.path(), dev.path());
        QStringList seen;
        connect(&buttons, &MouseButtons::mouseMessage, [&seen](MouseButtons::Message m) {
            seen << QMetaEnum::fromType<MouseButtons::Message>().valueToKey(m);
        });
        MessageLog log;
        QVERIFY(buttons.start()); // waiting for a mouse with side buttons
        QVERIFY(log.contains("no mouse with side buttons"));
        makeSysTree(sys.path(), {{"event6", kFiveButtonMouse}});
        QFile node(dev.path() + "/event6");
        QVERIFY(node.open(QIODevice::WriteOnly));
        QTRY_VERIFY(buttons.writeEnd >= 0);
        const QByteArray records = record(EV_KEY, BTN_SIDE, 1) + record(EV_KEY, BTN_SIDE, 0);
        QCOMPARE(::write(buttons.writeEnd, records.constData(), records.size()), ssize_t(records.size()));
        QTRY_COMPARE(seen, QStringList({"SideDown", "SideUp"}));
    }
};

QTEST_GUILESS_MAIN(TestKernelMouseButtons)
#include "tst_kernelmousebuttons.moc"
