// The program itself on real GNOME and KDE Wayland desktops (mutter with xdg-desktop-portal-gnome,
// KWin with xdg-desktop-portal-kde, headless, the stock "us" layout): started in the session in a
// private folder, driven by "zorvel --take begin/end" with the HTTP engine on a loopback server,
// typing into a native Qt line edit (QT_QPA_PLATFORM=wayland) through the desktop portal.
#include "tests/result/FocusReceiver.h"
#include "tests/result/MixedText.h"
#include "tests/support/DesktopProgram.h"
#include "tests/support/LoopbackHttpServer.h"
#include "tests/support/RealDesktop.h"
#include "tests/support/Rows.h"

#include <QtTest>
#include <map>
#include <memory>

namespace {

const QString kSession =
    QStringLiteral("Text injection , typing through the desktop portal's remote desktop session");
const QString kRefused = QStringLiteral("the user refused the desktop portal's remote desktop session");
// The refusal's notice as it is logged, in Chinese or (on a desktop not in Chinese) English.
const QRegularExpression kRefusedNotice(
    QStringLiteral("Notice , (远程输入未获允许，文字无法输入！|Remote input was not allowed)"));

} // namespace

Q_DECLARE_METATYPE(RealDesktop::Kind)

class TestGnomeKde : public QObject {
    Q_OBJECT
    std::map<RealDesktop::Kind, std::unique_ptr<RealDesktop>> m_desktops;
    LoopbackHttpServer m_server;

    // The desktops of this run: ZORVEL_DESKTOPS ("GNOME", "KDE"; both when unset). Each desktop
    // runs in a test process of its own, as a second desktop after the first may find the
    // leftovers of the first one's session.
    static bool wanted(const char* name) {
        const QString desktops = qEnvironmentVariable("ZORVEL_DESKTOPS");
        return desktops.isEmpty() || desktops.contains(QLatin1String(name));
    }

    // The desktop, started on first use; null (with the test skipped) where it cannot start.
    RealDesktop* desktop(RealDesktop::Kind kind, QString* why) {
        for (auto& other : m_desktops)
            if (other.first != kind)
                other.second.reset(); // one desktop at a time
        auto& slot = m_desktops[kind];
        if (!slot) {
            slot = std::make_unique<RealDesktop>(kind);
            *why = slot->start();
            if (!why->isEmpty()) {
                slot.reset();
                return nullptr;
            }
        }
        return slot.get();
    }

    // The program started in the desktop, and a line edit there with the focus; no line edit when
    // either did not come up.
    struct Scene {
        std::unique_ptr<DesktopProgram> program;
        std::unique_ptr<FocusReceiver> edit;
    };
    Scene openScene(RealDesktop& real) {
        Scene scene{
            std::make_unique<DesktopProgram>(real, m_server),
            std::make_unique<FocusReceiver>(QCoreApplication::applicationDirPath() + "/focus_receiver")};
        if (!scene.program->waitUntilUp() || !scene.edit->start(real.environment(), 20000) ||
            !scene.edit->waitForActive(10000))
            scene.edit.reset();
        return scene;
    }

private slots:
    void initTestCase() { QVERIFY(m_server.isListening()); }

    // Each text arrives exactly, nothing more, three runs over; the user's clipboard is the same
    // after every take; the line edit keeps the focus through the takes (the recorder takes
    // none); GNOME asks for approval once.
    void typesEveryText_data() {
        const Rows<RealDesktop::Kind> row;
        if (wanted("GNOME"))
            row("GNOME", RealDesktop::Kind::Gnome);
        if (wanted("KDE"))
            row("KDE", RealDesktop::Kind::Kde);
    }
    void typesEveryText() {
        const auto [kind] = Rows<RealDesktop::Kind>::fetch();
        QString why;
        RealDesktop* real = desktop(kind, &why);
        if (!real)
            QSKIP(qPrintable(QStringLiteral("the desktop cannot start here (") + why + ')'));
        const Scene scene = openScene(*real);
        QVERIFY2(scene.edit, "the program or the line edit did not come up");
        DesktopProgram& program = *scene.program;
        FocusReceiver& edit = *scene.edit;

        const QStringList texts{"hello world 123", "你好，世界", "café naïve", "Zorvel 2.5 ok",
                                mixedText(300)};
        int take = 0;
        int losses = 0; // the focus losses once the session runs (GNOME's dialog takes it first)
        for (int run = 0; run < 3; ++run) {
            for (const QString& text : texts) {
                // A window may set the clipboard only after an input event reached it (mutter
                // checks its serial): the first take's keys give the line edit one.
                const QString kept = ++take == 1 ? QString() : QStringLiteral("kept %1 ü 剪贴板").arg(take);
                QVERIFY(edit.clear());
                if (!kept.isEmpty())
                    QVERIFY(edit.copy(kept));
                QVERIFY(program.take(text));
                // The first take waits for the approval on GNOME and is typed once it is given.
                if (take == 1 && kind == RealDesktop::Kind::Gnome)
                    QVERIFY2(real->answerDialog(true, 30000), "no remote desktop dialog came");
                const bool arrived = edit.waitForText(text, 20000);
                edit.settle(400); // nothing more may follow
                QVERIFY2(arrived && edit.text() == text,
                         qPrintable(QStringLiteral("take %1 got: %2").arg(take).arg(edit.text())));
                // Given back once the paste has read it (or had its time).
                if (!kept.isEmpty()) {
                    QString now;
                    for (int i = 0; i < 30 && (now = edit.clipboard()) != kept; ++i)
                        edit.settle(100);
                    QVERIFY2(
                        now == kept,
                        qPrintable(
                            QStringLiteral("take %1: the clipboard holds %2").arg(take).arg(now.left(20))));
                }
                if (take == 1)
                    losses = edit.focusLosses();
            }
        }
        QCOMPARE(edit.focusLosses(), losses);
        QCOMPARE(program.log().count(kSession), 1);
        QVERIFY(program.running());
    }

    // A refused approval: nothing typed, one log line and one notice, and the program carries on
    // without asking again.
    void refusedApproval() {
        if (!wanted("GNOME"))
            return;         // KDE asks nothing: there is nothing to refuse
        m_desktops.clear(); // a fresh session: a second line edit in one may not get the focus
        QString why;
        RealDesktop* real = desktop(RealDesktop::Kind::Gnome, &why);
        if (!real)
            QSKIP(qPrintable(QStringLiteral("the desktop cannot start here (") + why + ')'));
        const Scene scene = openScene(*real);
        QVERIFY2(scene.edit, "the program or the line edit did not come up");
        DesktopProgram& program = *scene.program;
        FocusReceiver& edit = *scene.edit;
        QVERIFY(program.take("hello world 123"));
        QVERIFY2(real->answerDialog(false, 30000), "no remote desktop dialog came");
        QVERIFY(DesktopProgram::waitFor([&] { return program.log().contains(kRefused); }, 10000));
        QVERIFY(program.take("你好，世界"));
        QVERIFY(DesktopProgram::waitFor([&] { return program.log().count("打字模式：") == 2; }, 10000));
        QVERIFY(!real->answerDialog(false, 3000));
        edit.settle(500);
        QCOMPARE(edit.text(), QString());
        QCOMPARE(program.log().count(kRefused), 1);
        QCOMPARE(program.log().count(kRefusedNotice), 1);
        QVERIFY(program.running());
    }
};

QTEST_GUILESS_MAIN(TestGnomeKde)
#include "tst_gnomekde.moc"
