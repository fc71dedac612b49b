// Types mixed texts through the virtual keyboard of a private headless sway into a Qt line edit
// (a native Wayland client) and prints how fast and how exactly they arrive. "sent" is until the
// compositor has taken every key; the line edit's own time grows with its length (it lays its
// whole text out again for each character), which dominates the long texts.
#include "bench/Figures.h"
#include "platform/linux/VirtualKeyboardTyper.h"
#include "tests/result/MixedText.h"
#include "tests/support/WaylandLineEdit.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <algorithm>
#include <cstdio>

namespace {

using Figures::median;

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    HeadlessSway sway;
    const QString why = sway.start();
    if (!why.isEmpty()) {
        std::printf("headless sway cannot start here: %s\n", qPrintable(why));
        return 1;
    }
    sway.useInThisProcess();
    WaylandLineEdit edit;
    if (!edit.start(sway, QStringLiteral(FOCUS_RECEIVER))) {
        std::printf("the line edit never got the keyboard focus\n");
        return 1;
    }
    // Runs per length: the first argument, 5 by default.
    const int runs = argc > 1 && QByteArray(argv[1]).toInt() > 0 ? QByteArray(argv[1]).toInt() : 5;
    // One keyboard for all texts, as the program keeps it.
    VirtualKeyboardTyper typer;
    typer.open(); // connecting is not typing
    for (int length : {20, 200, 1000, 3000}) {
        const QString text = mixedText(length);
        QVector<double> sent, typed;
        int exact = 0;
        for (int i = 0; i < runs; ++i) {
            edit.clear();
            QElapsedTimer clock;
            clock.start();
            const bool ok = typer.typeText(text);
            sent << clock.nsecsElapsed() / 1e6;
            const bool arrived = ok && edit.waitForText(text, 30000);
            // The line edit reports 30 ms after its last change; that delay is not typing time.
            typed << clock.nsecsElapsed() / 1e6 - 30;
            exact += arrived ? 1 : 0;
            if (!arrived)
                std::printf("run %d of %d chars: got \"%s\"\n", i + 1, length, qPrintable(edit.text()));
        }
        std::printf("%5d mixed chars  exact %d/%d  sent %7.1f ms  in the line edit %7.1f ms  %6.0f chars/s\n",
                    length, exact, runs, median(sent), median(typed), length / (median(typed) / 1000.0));
    }
    return 0;
}
