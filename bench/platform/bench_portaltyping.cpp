// Types mixed texts through the desktop portal's remote desktop interface into a fake portal on
// a private session bus and prints how fast the keysyms arrive there (a press and a release per
// character, each one call). What a real portal then does with them (GNOME, KDE) is not in it.
#include "bench/Figures.h"
#include "platform/linux/RemoteDesktopPortalTyper.h"
#include "tests/result/MixedText.h"
#include "tests/support/FakeRemoteDesktopPortal.h"
#include "tests/support/PrivateSessionBus.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QElapsedTimer>
#include <algorithm>
#include <cstdio>

namespace {

using Figures::median;

// Runs the event loop until the portal has had the press and release of the given number of
// keysyms.
bool waitForKeysyms(const FakeRemoteDesktopPortal& portal, int count, int timeoutMs) {
    const int entries = count * 4; // keysym and state, for the press and the release
    QDeadlineTimer deadline(timeoutMs);
    while (portal.keyEvents.size() < entries && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    return portal.keyEvents.size() == entries;
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    PrivateSessionBus bus;
    const QString why = bus.start();
    if (!why.isEmpty()) {
        std::printf("no private session bus: %s\n", qPrintable(why));
        return 1;
    }
    FakeRemoteDesktopPortal portal(bus.address());
    const QDBusConnection client = QDBusConnection::connectToBus(bus.address(), QStringLiteral("bench"));
    RemoteDesktopPortalTyper typer(client, QDir::temp().filePath(QStringLiteral("bench_portal_token.txt")));
    QElapsedTimer clock;
    clock.start();
    typer.typeText(QStringLiteral("a"));
    if (!waitForKeysyms(portal, 1, 10000)) {
        std::printf("the session did not start\n");
        return 1;
    }
    std::printf("session start and first character: %.1f ms\n", clock.nsecsElapsed() / 1e6);
    const int runs = argc > 1 && QByteArray(argv[1]).toInt() > 0 ? QByteArray(argv[1]).toInt() : 5;
    for (int length : {20, 200, 1000, 3000}) {
        const QString text = mixedText(length);
        const int keysyms = RemoteDesktopPortalTyper::keysymsFor(text).size();
        QVector<double> sent, arrived;
        int whole = 0;
        for (int i = 0; i < runs; ++i) {
            portal.keyEvents.clear();
            clock.restart();
            typer.typeText(text);
            sent << clock.nsecsElapsed() / 1e6;
            whole += waitForKeysyms(portal, keysyms, 30000) ? 1 : 0;
            arrived << clock.nsecsElapsed() / 1e6;
        }
        std::printf("%5d mixed chars  complete %d/%d  sent %7.1f ms  at the portal %7.1f ms  %7.0f chars/s\n",
                    length, whole, runs, median(sent), median(arrived), length / (median(arrived) / 1000.0));
    }
    QFile::remove(QDir::temp().filePath(QStringLiteral("bench_portal_token.txt")));
    return 0;
}
