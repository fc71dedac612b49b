#include "platform/linux/KernelMouseButtons.h"
#include "tests/support/MessageLog.h"
#include "tests/support/Rows.h"

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

// An entry of a fake /sys/class/input with the contents of its device/capabilities/key.
void makeSysTree(const QString& root, const QString& name, const QByteArray& capabilities) {
    const QString dir = root + '/' + name + "/device/capabilities";
    QVERIFY(QDir().mkpath(dir));
    QFile file(dir + "/key");
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(capabilities + '\n');
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
    void events_data() {
        const Rows<QByteArray, QStringList> row; // records, messages
        const QByteArray syn = record(EV_SYN, SYN_REPORT, 0);
        row("side key amid motion",
            record(EV_REL, REL_X, 4) + syn + record(EV_KEY, BTN_SIDE, 1) + syn + record(EV_REL, REL_Y, -2) +
                record(EV_MSC, MSC_SCAN, 0x90004) + syn + record(EV_KEY, BTN_SIDE, 0) + syn,
            {"SideDown", "SideUp"});
        row("extra button, repeats while held",
            record(EV_KEY, BTN_EXTRA, 1) + record(EV_KEY, BTN_EXTRA, 2) + record(EV_KEY, BTN_EXTRA, 0),
            {"SideDown", "SideUp"});
        row("left button", record(EV_KEY, BTN_LEFT, 1) + record(EV_KEY, BTN_LEFT, 0), {"Other", "Other"});
        row("keyboard key", record(EV_KEY, KEY_A, 1) + syn + record(EV_KEY, KEY_A, 0) + syn, {});
    }
    // Records arrive through a pipe, in two writes that cut a record in half; a middle click
    // at the end shows that everything before it has been read.
    void events() {
        auto [records, expected] = Rows<QByteArray, QStringList>::fetch();
        QTemporaryDir sys;
        makeSysTree(sys.path(), "event7", kFiveButtonMouse);
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
        const Rows<bool, int, QString> row; // a mouse with side buttons, open error, warning
        row("readable", true, 0, "");
        row("no read access", true, EACCES,
            "no read access to the mouse's input devices (%1/event2): add the user to the \"input\" "
            "group, or bind a desktop shortcut to \"zorvel --take toggle\"");
        row("no such mouse", false, 0, "no mouse with side buttons");
    }
    void start() {
        const auto [device, error, warning] = Rows<bool, int, QString>::fetch();
        QTemporaryDir sys;
        makeSysTree(sys.path(), "event2", device ? kFiveButtonMouse : "70000 0 0 0 0");
        makeSysTree(sys.path(), "mouse0", kFiveButtonMouse); // the older interface: never read
        const QString devRoot = sys.path() + "/dev";         // no such folder: nothing to wait for either
        PipedButtons buttons(sys.path(), devRoot);
        buttons.error = error;
        MessageLog log;
        QCOMPARE(buttons.start(), warning.isEmpty());
        QCOMPARE(MouseButtons::deviceAccessDenied(), error == EACCES); // what the settings dialog shows
        QCOMPARE(log.warnings().size(), warning.isEmpty() ? 0 : 1);
        if (!warning.isEmpty())
            QVERIFY2(log.warnings().first().contains(warning.arg(devRoot)),
                     qPrintable(log.warnings().first()));
    }

    // A mouse plugged in after the start is read as soon as its event device appears.
    void hotPlug() {
        QTemporaryDir sys, dev;
        makeSysTree(sys.path(), "event1", "70000 0 0 0 0"); // a three-button mouse
        PipedButtons buttons(sys.path(), dev.path());
        QStringList seen;
        connect(&buttons, &MouseButtons::mouseMessage, [&seen](MouseButtons::Message m) {
            seen << QMetaEnum::fromType<MouseButtons::Message>().valueToKey(m);
        });
        QVERIFY(buttons.start()); // waiting for a mouse with side buttons
        makeSysTree(sys.path(), "event6", kFiveButtonMouse);
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
