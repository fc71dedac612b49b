#include "platform/linux/LinuxForegroundWindow.h"
#include "platform/linux/LinuxMouseButtons.h"
#include "tests/support/TestDir.h"

#include <QMouseEvent>
#include <QSignalSpy>
#include <QWidget>
#include <QtTest>

// Xlib last: its macros (Bool, Status, None) clash with Qt headers.
#include "XTestInput.h"

#include <X11/Xutil.h>

Q_DECLARE_METATYPE(std::optional<QString>)

// Counts the middle-button presses that reach it.
class ClickTarget : public QWidget {
public:
    int middlePresses = 0;

protected:
    void mousePressEvent(QMouseEvent* event) override {
        if (event->button() == Qt::MiddleButton)
            ++middlePresses;
    }
};

// A top-level X window with the given WM_CLASS, mapped and focused.
class ClassedWindow {
public:
    ClassedWindow(Display* display, const char* instance, const char* windowClass, int x = 0, int y = 0)
        : m_display(display) {
        m_window = XCreateSimpleWindow(display, DefaultRootWindow(display), x, y, 300, 200, 0, 0, 0);
        if (instance) {
            XClassHint hint;
            hint.res_name = const_cast<char*>(instance);
            hint.res_class = const_cast<char*>(windowClass);
            XSetClassHint(display, m_window, &hint);
        }
        XMapRaised(display, m_window);
        XSync(display, False);
    }
    ~ClassedWindow() {
        XDestroyWindow(m_display, m_window);
        XSync(m_display, False);
    }
    Window id() const { return m_window; }
    void focus() {
        XSetInputFocus(m_display, m_window, RevertToPointerRoot, CurrentTime);
        XSync(m_display, False);
    }

private:
    Display* m_display;
    Window m_window;
};

class TestX11Backends : public QObject {
    Q_OBJECT
private:
    std::unique_ptr<XTestInput> m_input;
    std::unique_ptr<TestDir> m_dir;

    // Waits until the spy has seen the expected messages, ignoring nothing.
    static QList<MouseButtons::Message> messages(const QSignalSpy& spy) {
        QList<MouseButtons::Message> out;
        for (const QList<QVariant>& args : spy)
            out << args.at(0).value<MouseButtons::Message>();
        return out;
    }

private slots:
    void initTestCase() {
        if (qEnvironmentVariableIsEmpty("DISPLAY"))
            QSKIP("No X display: run under xvfb-run to test the X11 backends.");
        m_input = std::make_unique<XTestInput>();
        QVERIFY2(m_input->isOpen(), "cannot open the X display");
        int event = 0, error = 0, major = 0, minor = 0;
        QVERIFY2(XTestQueryExtension(m_input->display(), &event, &error, &major, &minor),
                 "no XTest extension");
    }
    void cleanupTestCase() { m_input.reset(); }
    void init() { m_dir = std::make_unique<TestDir>(); }
    void cleanup() { m_dir.reset(); }

    void messageFor_data() {
        QTest::addColumn<int>("button");
        QTest::addColumn<bool>("press");
        QTest::addColumn<MouseButtons::Message>("message");
        QTest::newRow("middle down") << 2 << true << MouseButtons::MiddleDown;
        QTest::newRow("middle up") << 2 << false << MouseButtons::MiddleUp;
        QTest::newRow("back down") << 8 << true << MouseButtons::SideDown;
        QTest::newRow("back up") << 8 << false << MouseButtons::SideUp;
        QTest::newRow("forward down") << 9 << true << MouseButtons::SideDown;
        QTest::newRow("forward up") << 9 << false << MouseButtons::SideUp;
        QTest::newRow("left") << 1 << true << MouseButtons::Other;
        QTest::newRow("right") << 3 << false << MouseButtons::Other;
        QTest::newRow("wheel") << 4 << true << MouseButtons::Other;
        QTest::newRow("button 10") << 10 << true << MouseButtons::Other;
    }
    void messageFor() {
        QFETCH(int, button);
        QFETCH(bool, press);
        QFETCH(MouseButtons::Message, message);
        QCOMPARE(LinuxMouseButtons::messageFor(button, press), message);
    }

    void rawButtonEvents() {
        LinuxMouseButtons buttons;
        QVERIFY(buttons.start());
        QVERIFY(buttons.start()); // a second start changes nothing
        QSignalSpy spy(&buttons, &MouseButtons::mouseMessage);
        m_input->click(8);
        m_input->click(2);
        m_input->click(9);
        m_input->click(1);
        m_input->click(5);
        const QList<MouseButtons::Message> expected = {
            MouseButtons::SideDown, MouseButtons::SideUp, MouseButtons::MiddleDown, MouseButtons::MiddleUp,
            MouseButtons::SideDown, MouseButtons::SideUp, MouseButtons::Other,      MouseButtons::Other,
            MouseButtons::Other,    MouseButtons::Other};
        QTRY_COMPARE_WITH_TIMEOUT(spy.count(), expected.size(), 5000);
        QCOMPARE(messages(spy), expected);
        // Held buttons: the press arrives while the button is still down.
        spy.clear();
        m_input->button(8, true);
        QTRY_COMPARE(messages(spy), QList<MouseButtons::Message>({MouseButtons::SideDown}));
        m_input->button(8, false);
        QTRY_COMPARE(spy.count(), 2);
    }

    void clicksStillReachTheirWindow() {
        LinuxMouseButtons buttons;
        QVERIFY(buttons.start());
        QSignalSpy spy(&buttons, &MouseButtons::mouseMessage);
        ClickTarget target;
        target.setGeometry(100, 100, 200, 200);
        target.show();
        QVERIFY(QTest::qWaitForWindowExposed(&target));
        const QPoint centre = target.mapToGlobal(target.rect().center());
        m_input->moveTo(centre.x(), centre.y());
        QTest::qWait(100);
        m_input->click(2);
        QTRY_COMPARE(target.middlePresses, 1);
        QTRY_COMPARE(messages(spy),
                     QList<MouseButtons::Message>({MouseButtons::MiddleDown, MouseButtons::MiddleUp}));
    }

    void withoutDisplay() {
        const QByteArray display = qgetenv("DISPLAY");
        qunsetenv("DISPLAY");
        LinuxMouseButtons buttons;
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("no X display"));
        const bool started = buttons.start();
        qputenv("DISPLAY", display);
        QVERIFY(!started);
    }

    void focusedWindowClass_data() {
        QTest::addColumn<QByteArray>("instance");
        QTest::addColumn<QByteArray>("windowClass");
        QTest::addColumn<std::optional<QString>>("expected");
        auto name = [](const char* s) { return std::optional<QString>(QString(s)); };
        QTest::newRow("text editor") << QByteArray("gedit") << QByteArray("Gedit") << name("Notepad");
        QTest::newRow("word processor")
            << QByteArray("libreoffice") << QByteArray("libreoffice-writer") << name("OpusApp");
        QTest::newRow("spreadsheet") << QByteArray("libreoffice") << QByteArray("libreoffice-calc")
                                     << name("XLMAIN");
        QTest::newRow("presentation")
            << QByteArray("libreoffice") << QByteArray("libreoffice-impress") << name("PPTFrameClass");
        QTest::newRow("file manager")
            << QByteArray("org.gnome.Nautilus") << QByteArray("Org.gnome.Nautilus") << name("CabinetWClass");
        QTest::newRow("by instance") << QByteArray("mousepad") << QByteArray("Xfce-editor")
                                     << name("Notepad");
        QTest::newRow("other window keeps its class")
            << QByteArray("Navigator") << QByteArray("firefox-esr") << name("firefox-esr");
        QTest::newRow("from services.ini") << QByteArray("myed") << QByteArray("MyEditor") << name("XLMAIN");
        QTest::newRow("services.ini overrides")
            << QByteArray("kate") << QByteArray("kate") << name("OpusApp");
    }
    void focusedWindowClass() {
        QFETCH(QByteArray, instance);
        QFETCH(QByteArray, windowClass);
        QFETCH(std::optional<QString>, expected);
        m_dir->write("services.ini", "[editors]\nMyEditor = XLMAIN\nkate = OpusApp\n");
        LinuxForegroundWindow foreground(LinuxForegroundWindow::defaultClassTable());
        ClassedWindow window(m_input->display(), instance.constData(), windowClass.constData());
        window.focus();
        QCOMPARE(foreground.className(), expected);
        QCOMPARE(foreground.caretPoint(), std::optional<QPoint>());
    }

    void focusOnAChildWindow() {
        LinuxForegroundWindow foreground;
        ClassedWindow top(m_input->display(), "gedit", "Gedit");
        Display* d = m_input->display();
        const Window child = XCreateSimpleWindow(d, top.id(), 10, 10, 50, 50, 0, 0, 0);
        XMapWindow(d, child);
        XSync(d, False);
        XSetInputFocus(d, child, RevertToParent, CurrentTime);
        XSync(d, False);
        QCOMPARE(foreground.className(), std::optional<QString>(QString("Notepad")));
        XDestroyWindow(d, child);
    }

    void pointerRootUsesTheWindowUnderThePointer() {
        LinuxForegroundWindow foreground;
        ClassedWindow window(m_input->display(), "xed", "Xed", 400, 300);
        XSetInputFocus(m_input->display(), PointerRoot, RevertToPointerRoot, CurrentTime);
        m_input->moveTo(450, 350);
        XSync(m_input->display(), False);
        QCOMPARE(foreground.className(), std::optional<QString>(QString("Notepad")));
        // Over the bare root window there is no foreground window.
        m_input->moveTo(1900, 1060);
        XSync(m_input->display(), False);
        QCOMPARE(foreground.className(), std::optional<QString>());
    }

    void foregroundWithoutDisplay() {
        const QByteArray display = qgetenv("DISPLAY");
        qunsetenv("DISPLAY");
        LinuxForegroundWindow foreground;
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("cannot open the X display"));
        const std::optional<QString> first = foreground.className();
        const std::optional<QString> second = foreground.className(); // warned once only
        qputenv("DISPLAY", display);
        QCOMPARE(first, std::optional<QString>());
        QCOMPARE(second, std::optional<QString>());
    }
};

QTEST_MAIN(TestX11Backends)
#include "tst_x11backends.moc"
