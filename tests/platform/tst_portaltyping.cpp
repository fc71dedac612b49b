#include "platform/linux/LinuxFocusTyping.h"
#include "platform/linux/RemoteDesktopPortalTyper.h"
#include "result/ResultDispatcher.h"
#include "tests/support/FakeRemoteDesktopPortal.h"
#include "tests/support/MessageLog.h"
#include "tests/support/PrivateSessionBus.h"
#include "tests/support/Rows.h"
#include "tests/support/TestDir.h"

#include <QtTest>

namespace {

// Keysym events as the portal receives them: a press and a release per keysym.
QVector<quint32> pressesAndReleases(const QVector<quint32>& keysyms) {
    QVector<quint32> events;
    for (quint32 keysym : keysyms)
        events << keysym << 1 << keysym << 0;
    return events;
}

// "héllo 你好" and a new line.
const QVector<quint32> kMixed = {'h', 0xe9, 'l', 'l', 'o', ' ', 0x1004f60, 0x100597d, 0xff0d};
const quint32 kShift = 0xffe1;

} // namespace

// Typing through the desktop portal's remote desktop interface, against a fake portal on a
// private session bus.
class TestPortalTyping : public QObject {
    Q_OBJECT
    PrivateSessionBus m_bus;

private slots:
    void initTestCase() {
        const QString why = m_bus.start();
        QVERIFY2(why.isEmpty(), qPrintable(why));
        // The program's own connection (the session bus) goes to the private bus, and no
        // compositor answers, so a Wayland session has no virtual keyboard.
        qputenv("DBUS_SESSION_BUS_ADDRESS", m_bus.address().toUtf8());
        qputenv("WAYLAND_DISPLAY", "/nonexistent/zorvel-no-compositor");
        qunsetenv("DISPLAY");
    }

    // A text posted in a Wayland session without a virtual keyboard opens the session (a
    // persistent keyboard) and is typed once it has started, after a throw-away Shift; a text the
    // keyboard may not carry, with no clipboard to paste it through, is left out whole. The
    // approval's token is kept in the working folder, passed on at the next start and replaced by
    // the portal's new one.
    void sessionFlowAndRestoreToken() {
        TestDir dir;
        for (const QString token : {"token-1", "token-2"}) {
            FakeRemoteDesktopPortal portal(m_bus.address());
            QVERIFY(portal.registered());
            portal.restoreToken = token;
            MessageLog log;
            LinuxFocusTyping typing(true, false);
            ResultDispatcher::postTextToFocus(typing, QStringLiteral("hé你\n"));
            ResultDispatcher::postTextToFocus(typing, QStringLiteral("hello\tok\n"));
            QCOMPARE(typing.route(), LinuxFocusTyping::Route::Portal);
            QTRY_COMPARE(portal.keyEvents,
                         pressesAndReleases({kShift, 'h', 'e', 'l', 'l', 'o', 0xff09, 'o', 'k', 0xff0d}));
            QCOMPARE(log.warnings().size(), 1);
            QVERIFY2(log.warnings().first().contains("no clipboard"), qPrintable(log.warnings().first()));
            const QString restore = token == "token-2" ? " restore_token=token-1" : "";
            QCOMPARE(portal.calls, QStringList({"CreateSession",
                                                "SelectDevices types=1 persist_mode=2" + restore, "Start"}));
            QCOMPARE(dir.read("portal_token.txt"), token.toUtf8() + '\n');
        }
    }

    void keysyms_data() {
        const Rows<QString, QVector<quint32>, QStringList> row; // text, keysyms, left out
        row("mixed", QStringLiteral("héllo 你好\n"), kMixed, {});
        row("tab, CR LF, lone CR", "a\tb\r\nc\rd", {'a', 0xff09, 'b', 0xff0d, 'c', 0xff0d, 'd'}, {});
        row("controls and a broken surrogate", QString("a\x01\x1b") + QChar(0xd83d) + "b\x7f", {'a', 'b'},
            {"U+0001", "U+001B", "U+D83D", "U+007F"});
    }
    void keysyms() {
        const auto [text, keysyms, leftOut] = Rows<QString, QVector<quint32>, QStringList>::fetch();
        QStringList untypable;
        QCOMPARE(RemoteDesktopPortalTyper::keysymsFor(text, &untypable), keysyms);
        QCOMPARE(untypable, leftOut);
    }

    // A session that does not start types nothing, says why once, and is not asked for again.
    void sessionThatDoesNotStart_data() {
        const Rows<QString, int, QString> row; // the step, its answer, the warning
        row("refused", "Start", 1, "the user refused the desktop portal's remote desktop session");
        row("never answered", "CreateSession", -1, "did not answer within 0.3 s");
        row("no keyboard granted", "", 0, "granted no keyboard");
        row("no portal", "", 0, "the desktop portal failed");
    }
    void sessionThatDoesNotStart() {
        const auto [step, code, warning] = Rows<QString, int, QString>::fetch();
        TestDir dir;
        FakeRemoteDesktopPortal portal(QTest::currentDataTag() == QByteArray("no portal") ? QString()
                                                                                          : m_bus.address());
        portal.answers[step] = code;
        portal.devices = QTest::currentDataTag() == QByteArray("no keyboard granted") ? 2 : 1;
        MessageLog log;
        RemoteDesktopPortalTyper typer(QDBusConnection::sessionBus());
        typer.setDeadlines(300, 300);
        typer.typeText("abc");
        QTRY_VERIFY_WITH_TIMEOUT(!typer.usable(), 5000);
        typer.typeText("def");
        QTest::qWait(50);
        QCOMPARE(portal.keyEvents, QVector<quint32>());
        QVERIFY(portal.calls.count("CreateSession") <= 1);
        QCOMPARE(log.warnings().size(), 1);
        QVERIFY2(log.warnings().first().contains(warning), qPrintable(log.warnings().first()));
        QVERIFY(!QFile::exists("portal_token.txt"));
    }
};

QTEST_GUILESS_MAIN(TestPortalTyping)
#include "tst_portaltyping.moc"
