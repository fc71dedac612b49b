#include "platform/linux/LinuxForegroundWindow.h"
#include "platform/linux/LinuxMouseButtons.h"
#include "tests/support/Rows.h"
#include "tests/support/TestDir.h"

#include <QMouseEvent>
#include <QWidget>
#include <QtTest>
#include <optional>
#include <utility>

// Xlib last: its macros (Bool, Status, None) clash with Qt headers.
#include "XTestInput.h"

#include <X11/Xutil.h>

// Started X11 mouse buttons whose messages are collected by name.
struct Recorded : LinuxMouseButtons {
    QStringList seen;
    Recorded() {
        connect(this, &MouseButtons::mouseMessage,
                [this](Message m) { seen << QMetaEnum::fromType<Message>().valueToKey(m); });
    }
};

// Counts the middle-button presses that reach it.
struct ClickTarget : QWidget {
    int middlePresses = 0;
    void mousePressEvent(QMouseEvent* event) override {
        middlePresses += event->button() == Qt::MiddleButton;
    }
};

class TestX11Backends : public QObject {
    Q_OBJECT
    std::unique_ptr<XTestInput> m_x;
    std::optional<TestDir> m_dir;
    QList<Window> m_windows; // destroyed after each case

    // A mapped top-level X window with the given WM_CLASS.
    Window window(QByteArray instance, QByteArray windowClass, int x = 0, int y = 0) {
        Display* d = m_x->display;
        const Window w = XCreateSimpleWindow(d, DefaultRootWindow(d), x, y, 300, 200, 0, 0, 0);
        XClassHint hint{instance.data(), windowClass.data()};
        XSetClassHint(d, w, &hint);
        XMapRaised(d, w);
        XSync(d, False);
        m_windows << w;
        return w;
    }
    void focus(Window window, int revertTo = RevertToPointerRoot) {
        XSetInputFocus(m_x->display, window, revertTo, CurrentTime);
        XSync(m_x->display, False);
    }

private slots:
    void initTestCase() {
        if (qEnvironmentVariableIsEmpty("DISPLAY"))
            QSKIP("No X display: run under xvfb-run to test the X11 backends.");
        m_x = std::make_unique<XTestInput>();
        QVERIFY2(m_x->display, "cannot open the X display");
        int unused = 0;
        QVERIFY2(XTestQueryExtension(m_x->display, &unused, &unused, &unused, &unused), "no XTest extension");
    }
    void init() { m_dir.emplace(); }
    void cleanup() {
        for (Window w : std::exchange(m_windows, {}))
            XDestroyWindow(m_x->display, w);
        XSync(m_x->display, False);
    }

    // Every button is seen, and none is taken: a click still reaches the window under the pointer.
    void rawButtonEvents() {
        Recorded buttons;
        QVERIFY(buttons.start());
        ClickTarget target;
        target.setGeometry(100, 100, 200, 200);
        target.show();
        QVERIFY(QTest::qWaitForWindowExposed(&target));
        const QPoint centre = target.mapToGlobal(target.rect().center());
        m_x->moveTo(centre.x(), centre.y());
        QTest::qWait(100);
        for (unsigned int button : {8, 2, 9, 1, 5})
            m_x->click(button);
        QTRY_COMPARE_WITH_TIMEOUT(
            buttons.seen.join(' '),
            "SideDown SideUp MiddleDown MiddleUp SideDown SideUp Other Other Other Other", 5000);
        QTRY_COMPARE(target.middlePresses, 1);
    }

    // No X display: no crash and nothing delivered, only a warning.
    void withoutDisplay() {
        const QByteArray display = qgetenv("DISPLAY");
        qunsetenv("DISPLAY");
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("no X display"));
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("cannot open the X display"));
        const bool started = LinuxMouseButtons().start();
        LinuxForegroundWindow foreground;
        const std::optional<QString> first = foreground.className(), second = foreground.className();
        qputenv("DISPLAY", display);
        QVERIFY(!started && !first && !second);
    }

    void focusedWindowClass_data() {
        const Rows<QString, QString, QString> row; // instance, class, class name reported
        row("text editor", "gedit", "Gedit", "Notepad");
        row("services.ini overrides", "kate", "kate", "OpusApp");
    }
    void focusedWindowClass() {
        const auto [instance, windowClass, expected] = Rows<QString, QString, QString>::fetch();
        m_dir->write("services.ini", "[editors]\nkate = OpusApp\n");
        LinuxForegroundWindow foreground(LinuxForegroundWindow::defaultClassTable());
        focus(window(instance.toUtf8(), windowClass.toUtf8()));
        QCOMPARE(foreground.className(), expected);
        QCOMPARE(foreground.caretPoint(), std::nullopt);
    }

    // Focus on a child window, then focus that follows the pointer.
    void otherWaysToTheWindowInFront() {
        LinuxForegroundWindow foreground;
        const Window child =
            XCreateSimpleWindow(m_x->display, window("gedit", "Gedit"), 10, 10, 50, 50, 0, 0, 0);
        XMapWindow(m_x->display, child);
        focus(child, RevertToParent);
        QCOMPARE(foreground.className(), QString("Notepad"));
        window("xed", "Xed", 400, 300);
        focus(PointerRoot);
        m_x->moveTo(450, 350);
        QCOMPARE(foreground.className(), QString("Notepad"));
        m_x->moveTo(1900, 1060); // over the bare root window: no foreground window
        QCOMPARE(foreground.className(), std::nullopt);
    }
};

QTEST_MAIN(TestX11Backends)
#include "tst_x11backends.moc"
