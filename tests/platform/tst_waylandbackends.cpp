#include "platform/linux/LinuxFocusTyping.h"
#include "platform/linux/VirtualKeyboardTyper.h"
#include "platform/linux/WaylandForegroundWindow.h"
#include "result/ResultDispatcher.h"
#include "tests/result/MixedText.h"
#include "tests/support/Rows.h"
#include "tests/support/WaylandLineEdit.h"

#include <QtTest>

// Xlib last: its macros (Bool, Status, None) clash with Qt headers.
#include <X11/Xlib.h>

Q_DECLARE_METATYPE(LinuxFocusTyping::Route)
using Route = Rows<bool, bool, bool, LinuxFocusTyping::Route>;

// The Wayland backends against a real (headless) sway: typing through its virtual keyboard into a
// Qt line edit running as a native Wayland client (what the line edit holds is read back), and
// the app id of the window in front.
class TestWaylandBackends : public QObject {
    Q_OBJECT
    HeadlessSway m_sway;
    WaylandLineEdit m_edit;
    VirtualKeyboardTyper m_typer;               // one keyboard for all texts, as the program keeps it
    QByteArray m_xDisplay = qgetenv("DISPLAY"); // the X server standing in for Xwayland

private slots:
    void initTestCase() {
        const QString why = m_sway.start();
        if (!why.isEmpty())
            QSKIP(qPrintable(QStringLiteral("headless sway cannot start here (") + why + ')'));
        m_sway.useInThisProcess();
        QVERIFY2(m_edit.start(m_sway, QCoreApplication::applicationDirPath() + "/focus_receiver"),
                 "the line edit never got the keyboard focus");
    }
    void init() { QVERIFY(m_edit.clear()); }

    void typesExactly_data() {
        const Rows<QString> row;
        row("sample and 300 mixed", QStringLiteral("héllo 你好 ñ café 😀") + mixedText(300));
        row("any script, tab", QStringLiteral("naïve Straße Ñandú 👍 שלום\tend"));
        // More distinct characters than one keymap has keys: typed in several runs.
        QString many;
        for (uint c = 0x4e00; c < 0x4e00 + 600; ++c)
            many += QChar(c);
        row("600 distinct", many);
    }
    void typesExactly() {
        const auto [text] = Rows<QString>::fetch();
        QVERIFY(m_typer.typeText(text));
        QVERIFY2(m_edit.waitForText(text, 10000), qPrintable("got: " + m_edit.text()));
    }

    // Under Wayland with no X display a text takes the virtual keyboard, every character as it is.
    void textThroughTheFocusTyping() {
        LinuxFocusTyping typing(true, false);
        const QString text = QStringLiteral("Zorvel 语音鼠标 naïve Straße Ñandú 👍 שלום\tend");
        ResultDispatcher::postTextToFocus(typing, text);
        QCOMPARE(typing.route(), LinuxFocusTyping::Route::VirtualKeyboard);
        QVERIFY2(m_edit.waitForText(text, 10000), qPrintable("got: " + m_edit.text()));
    }

    // The activated toplevel is the line edit's window, named through the editor table; where
    // the compositor tells nothing the class is unknown but a window is there.
    void foregroundAppId_data() {
        const Rows<QString, bool, QString> row; // editor table key, compositor, class
        row("own app id", "gedit", true, "focus_receiver");
        row("editor table", "Focus_Receiver", true, "Notepad");
        row("no toplevel list", "gedit", false, "");
    }
    void foregroundAppId() {
        const auto [tableKey, compositor, expected] = Rows<QString, bool, QString>::fetch();
        if (!compositor)
            qputenv("WAYLAND_DISPLAY", "zorvel-no-such-compositor");
        WaylandForegroundWindow foreground({{tableKey, "Notepad"}});
        const std::optional<QString> name = foreground.className();
        m_sway.useInThisProcess();
        QVERIFY(name.has_value());
        QCOMPARE(*name, expected);
        QVERIFY(!foreground.caretPoint());
    }

    // Each text goes to the kind of program that has the focus: X11 windows (Xwayland) get XTest
    // even in a Wayland session, native windows the virtual keyboard.
    void routeByFocusedProgram_data() {
        const Route row; // Wayland, X server, an X window has the focus, route
        using R = LinuxFocusTyping::Route;
        row("Wayland, X11 window in front", true, true, true, R::X11);
        row("Wayland, native window in front", true, true, false, R::VirtualKeyboard);
        row("Wayland without X server", true, false, false, R::VirtualKeyboard);
    }
    void routeByFocusedProgram() {
        const auto [wayland, x11, xWindowFocused, route] = Route::fetch();
        if (m_xDisplay.isEmpty())
            QSKIP("No X display: run under xvfb-run to test the choice between X11 and Wayland.");
        qputenv("DISPLAY", m_xDisplay);
        // Xvfb sometimes turns a connection away (EAGAIN) right after the previous row's ones closed.
        Display* d = XOpenDisplay(nullptr);
        for (int i = 0; !d && i < 50; ++i) {
            QTest::qWait(100);
            d = XOpenDisplay(nullptr);
        }
        QVERIFY(d);
        const Window w = XCreateSimpleWindow(d, DefaultRootWindow(d), 0, 0, 100, 100, 0, 0, 0);
        XMapRaised(d, w);
        XSync(d, False);
        XSetInputFocus(d, xWindowFocused ? w : None, RevertToNone, CurrentTime);
        XSync(d, False);
        LinuxFocusTyping typing(wayland, x11);
        const bool windowFound = typing.foregroundWindow() != 0;
        const LinuxFocusTyping::Route chosen = typing.route();
        XSetInputFocus(d, PointerRoot, RevertToPointerRoot, CurrentTime);
        XDestroyWindow(d, w);
        XCloseDisplay(d);
        qunsetenv("DISPLAY");
        QVERIFY(windowFound);
        QCOMPARE(chosen, route);
    }
};

QTEST_GUILESS_MAIN(TestWaylandBackends)
#include "tst_waylandbackends.moc"
