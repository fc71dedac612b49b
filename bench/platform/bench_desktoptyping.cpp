// Typing on real GNOME (mutter) and KDE (KWin) Wayland desktops through their portals: the
// program itself, driven by "zorvel --take begin/end" with the HTTP engine on a loopback server,
// types 200 characters into a native Qt line edit, five takes of each kind per desktop. Prints the
// time from the take's end to the last character typed (recognition over loopback included) and
// the characters per second that gives.
//   build/bench/bench_desktoptyping
#include "bench/Figures.h"
#include "tests/result/FocusReceiver.h"
#include "tests/result/MixedText.h"
#include "tests/support/DesktopProgram.h"
#include "tests/support/LoopbackHttpServer.h"
#include "tests/support/RealDesktop.h"

#include <QCoreApplication>
#include <cstdio>

namespace {

void measure(RealDesktop::Kind kind, LoopbackHttpServer& server) {
    RealDesktop desktop(kind);
    const QString why = desktop.start();
    if (!why.isEmpty()) {
        std::printf("%s: cannot start here (%s)\n", qPrintable(desktop.name()), qPrintable(why));
        return;
    }
    DesktopProgram program(desktop, server, QStringLiteral(ZORVEL_BIN));
    FocusReceiver edit(QStringLiteral(FOCUS_RECEIVER));
    if (!program.waitUntilUp() || !edit.start(desktop.environment(), 20000) || !edit.waitForActive(10000)) {
        std::printf("%s: the program or the line edit did not come up\n", qPrintable(desktop.name()));
        return;
    }
    // The approval (GNOME) on a first take that is not measured.
    edit.clear();
    program.take(QStringLiteral("ok"));
    if (kind == RealDesktop::Kind::Gnome)
        desktop.answerDialog(true, 30000);
    edit.waitForText(QStringLiteral("ok"), 20000);

    // Not ending in a space: the engine's text comes trimmed.
    QString ascii;
    while (ascii.size() < 200)
        ascii += QStringLiteral("The quick brown fox jumps over 13 lazy dogs. ");
    const QList<QPair<const char*, QString>> kinds{{"200 mixed Chinese/ASCII (pasted)", mixedText(200)},
                                                   {"200 ASCII (key by key)", ascii.left(199) + QLatin1Char('x')}};
    for (const auto& [what, text] : kinds) {
        QVector<double> toLast, rates;
        int whole = 0;
        for (int run = 0; run < 5; ++run) {
            edit.clear();
            program.take(text);
            if (!edit.waitForText(text, 30000))
                continue;
            ++whole;
            const double ms = double(edit.changedAt() - program.releasedAt());
            toLast << ms;
            rates << (ms > 0 ? text.size() * 1000.0 / ms : 0);
        }
        std::printf("%s, %s: end of take -> last character median %.0f ms, worst %.0f ms; %.0f characters/s "
                    "(median; 5 takes, %d typed whole)\n",
                    qPrintable(desktop.name()), what, Figures::median(toLast), Figures::worst(toLast),
                    Figures::median(rates), whole);
    }
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    LoopbackHttpServer server;
    measure(RealDesktop::Kind::Gnome, server);
    measure(RealDesktop::Kind::Kde, server);
    return 0;
}
