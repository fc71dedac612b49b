// Figures of the side key and the recorder: the cost of a mouse event that is not one of the
// four buttons, the time from a side-key press to the first captured buffer, and the level
// computation per buffer. Run under an X server (xvfb-run) for the X11 figures; the capture
// figure needs the sound-server tools (it brings up a private virtual microphone).
#include "PrivateSoundServer.h"
#include "app/ConfigStore.h"
#include "platform/fake/FakeForegroundWindow.h"
#include "platform/fake/FakeMouseButtons.h"
#include "platform/linux/LinuxMouseButtons.h"
#include "voice/AudioCapture.h"
#include "voice/AudioRecorder.h"
#include "voice/SideKeyMonitor.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <algorithm>
#include <atomic>
#include <cstdio>
#include <ctime>
#include <thread>

#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>

static double threadCpuNs() {
    timespec ts;
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return ts.tv_sec * 1e9 + ts.tv_nsec;
}

static void dispatchCost() {
    auto buttons = std::make_unique<FakeMouseButtons>();
    FakeMouseButtons* source = buttons.get();
    SideKeyMonitor monitor(std::move(buttons), std::make_unique<FakeForegroundWindow>());
    const int n = 2'000'000;
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < n; ++i)
        source->send(MouseButtons::Other);
    std::printf("other mouse event, signal + mouseHookProc only:      %8.1f ns/event\n",
                double(timer.nsecsElapsed()) / n);
}

static void x11EventCost() {
    if (qEnvironmentVariableIsEmpty("DISPLAY")) {
        std::printf("other mouse event through XInput2:                 skipped (no DISPLAY)\n");
        return;
    }
    auto buttons = std::make_unique<LinuxMouseButtons>();
    LinuxMouseButtons* source = buttons.get();
    SideKeyMonitor monitor(std::move(buttons), std::make_unique<FakeForegroundWindow>());
    int seen = 0;
    QObject::connect(source, &MouseButtons::mouseMessage, [&seen](MouseButtons::Message) { ++seen; });
    const int clicks = 5000; // wheel steps: button 4 press and release, two raw events each
    std::atomic<bool> done{false};
    const double cpuBefore = threadCpuNs();
    QElapsedTimer wall;
    wall.start();
    std::thread sender([&] {
        Display* d = XOpenDisplay(nullptr);
        for (int i = 0; i < clicks; ++i) {
            XTestFakeButtonEvent(d, 4, True, CurrentTime);
            XTestFakeButtonEvent(d, 4, False, CurrentTime);
            if (i % 100 == 0)
                XFlush(d);
        }
        XSync(d, False);
        XCloseDisplay(d);
        done = true;
    });
    while (seen < 2 * clicks && wall.elapsed() < 30000)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    sender.join();
    const double cpu = threadCpuNs() - cpuBefore;
    std::printf("other mouse event through XInput2 + mouseHookProc: %8.1f us CPU/event (%d of %d events, "
                "%.0f ms wall)\n",
                cpu / 1000.0 / qMax(seen, 1), seen, 2 * clicks, double(wall.elapsed()));
}

static void levelCost() {
    QByteArray bytes(1600, '\0');
    for (char& c : bytes)
        c = char(QRandomGenerator::global()->bounded(256));
    const QAudioBuffer buffer(bytes, AudioCapture::recordingFormat());
    const int n = 200'000;
    qreal sink = 0;
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < n; ++i)
        sink += AudioRecorder::bufferLevels(buffer).value(0);
    std::printf("level of one 1600-byte buffer (800 samples):        %8.1f ns/buffer (checksum %.1f)\n",
                double(timer.nsecsElapsed()) / n, double(sink));
}

static void firstBufferLatency() {
    if (qEnvironmentVariableIsEmpty("DISPLAY")) {
        std::printf("side-key press to first captured buffer:           skipped (no DISPLAY)\n");
        return;
    }
    const QString missing = PrivateSoundServer::missingTools();
    if (!missing.isEmpty()) {
        std::printf("side-key press to first captured buffer:           skipped (missing %s)\n",
                    qPrintable(missing));
        return;
    }
    PrivateSoundServer sound;
    if (!sound.start()) {
        std::printf(
            "side-key press to first captured buffer:           skipped (sound server did not start)\n");
        return;
    }
    qputenv("PULSE_SERVER", sound.serverAddress().toUtf8());
    ConfigStore::instance()["TypingModel"] = 1;
    ConfigStore::instance()["ClosePrompt"] = 1;

    SideKeyMonitor monitor(MouseButtons::create(), std::make_unique<FakeForegroundWindow>());
    QElapsedTimer since;
    qint64 firstBuffer = -1;
    QObject::connect(&monitor, &SideKeyMonitor::levelBuffer, [&](const QAudioBuffer&) {
        if (firstBuffer < 0)
            firstBuffer = since.nsecsElapsed();
    });
    Display* d = XOpenDisplay(nullptr);
    QVector<double> ms;
    for (int i = 0; i < 12; ++i) {
        firstBuffer = -1;
        since.start();
        XTestFakeButtonEvent(d, 8, True, CurrentTime);
        XFlush(d);
        while (firstBuffer < 0 && since.elapsed() < 5000)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 10);
        if (firstBuffer >= 0 && i > 1) // the first two warm up the sound server connection
            ms << firstBuffer / 1e6;
        QElapsedTimer hold;
        hold.start();
        while (hold.elapsed() < 300)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 10);
        XTestFakeButtonEvent(d, 8, False, CurrentTime);
        XFlush(d);
        QElapsedTimer after;
        after.start();
        while (after.elapsed() < 100)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 10);
    }
    XCloseDisplay(d);
    if (ms.isEmpty()) {
        std::printf("side-key press to first captured buffer:           no buffer arrived\n");
        return;
    }
    std::sort(ms.begin(), ms.end());
    std::printf("side-key press to first captured buffer:           median %.1f ms, min %.1f, max %.1f (%d "
                "presses)\n",
                ms.at(ms.size() / 2), ms.first(), ms.last(), int(ms.size()));
}

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    qputenv("QT_LOGGING_RULES", "*.debug=false");
    QTemporaryDir dir;
    QDir::setCurrent(dir.path());
    ConfigStore::instance().reload();
    dispatchCost();
    x11EventCost();
    levelCost();
    firstBufferLatency();
    return 0;
}
