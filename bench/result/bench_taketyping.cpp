// Release of the side key to the text, and to its last character typed: takes of the offline
// engine fed at the pace of speech in 50 ms buffers (2 s and 8 s, 10 each), recognised on the
// recognition thread, dispatched in typing mode and typed by the X11 backend into a line edit of
// another X client. Run under an X server, e.g.
//   xvfb-run -a -s "-screen 0 1920x1080x24" build/bench/bench_taketyping
#include "app/ConfigStore.h"
#include "app/ServicesConfig.h"
#include "bench/Figures.h"
#include "bench/SpeakingPace.h"
#include "platform/fake/FakeForegroundWindow.h"
#include "result/ResultDispatcher.h"
#include "tests/result/FocusReceiver.h"
#include "voice/RecognitionThread.h"
#include "voice/speech/OfflineSpeechService.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QTemporaryDir>
#include <QThread>
#include <algorithm>
#include <atomic>
#include <cstdio>
#include <thread>

namespace {

using Figures::median;
using Figures::worst;

// The monotonic clock in ms, as the receiver stamps its changes.
qint64 nowMs() {
    QElapsedTimer t;
    t.start();
    return t.msecsSinceReference();
}

void takes(RecognitionThread& thread, FocusReceiver& receiver, const QByteArray& samples, const char* what) {
    QVector<double> toText, toTyped;
    QString text;
    int whole = 0;
    for (int run = 0; run < 10; ++run) {
        receiver.clear();
        std::atomic<qint64> releasedAt{0}, textAt{0};
        const auto textSeen = QObject::connect(
            &thread, &RecognitionThread::textRecognised, &thread, [&](const QString&) { textAt = nowMs(); },
            Qt::DirectConnection);
        QEventLoop loop;
        QObject::connect(&thread, &RecognitionThread::textRecognised, &loop, [&](const QString& t) {
            text = t;
            loop.quit();
        });
        // The side key's part: a take fed like the capture does, then let go.
        std::thread key([&] {
            TakeQueue& queue = thread.takes();
            const TakeQueue::TakePtr take = queue.begin();
            feedAtSpeakingPace(queue, take, samples);
            releasedAt = nowMs();
            queue.close(take);
        });
        loop.exec(); // the dispatcher's write() runs here, ahead of the quit
        key.join();
        QObject::disconnect(textSeen);
        const bool arrived = receiver.waitForText(text, 20000);
        whole += arrived ? 1 : 0;
        toText << double(textAt - releasedAt);
        if (arrived)
            toTyped << double(receiver.changedAt() - releasedAt);
    }
    std::printf("%s take (\"%s\"): release -> final text median %.0f ms, worst %.0f ms; release -> last "
                "character typed median %.0f ms, worst %.0f ms (10 takes, %d typed whole)\n",
                what, qPrintable(text), median(toText), worst(toText), median(toTyped), worst(toTyped),
                whole);
}

} // namespace

int main(int argc, char* argv[]) {
    qputenv("QT_QPA_PLATFORM", "offscreen"); // this process shows nothing; the receiver is on X
    QApplication app(argc, argv);
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& message) {
        if (type != QtDebugMsg && type != QtInfoMsg)
            std::fprintf(stderr, "%s\n", qPrintable(message));
    });
    if (qEnvironmentVariableIsEmpty("DISPLAY")) {
        std::printf("no X display: run under xvfb-run\n");
        return 0;
    }
    QFile raw(QStringLiteral("/usr/share/pocketsphinx/test/data/goforward.raw"));
    if (!raw.open(QIODevice::ReadOnly)) {
        std::printf("pocketsphinx-testdata missing, skipped\n");
        return 0;
    }
    const QByteArray speech = raw.readAll(); // 2.8 s, the words from 0.5 s to 2.4 s
    QByteArray pause(int(2.4 * 32000), '\0');
    for (int i = 0; i < pause.size(); i += 2)
        pause[i] = char(i * 7 % 61 - 30); // a quiet room, not digital silence

    QTemporaryDir dir;
    QDir::setCurrent(dir.path());
    ConfigStore::instance().reload();
    ServicesConfig::instance().reload();
    ConfigStore& store = ConfigStore::instance();
    store["TypingModel"] = 1;
    store["IntelligenceModel"] = 0;
    store["TranslationModel"] = 0;
    store["TypingLanguage"] = 1; // English: the one language of the offline engine
    store["RemovePunctuation"] = 0;
    store["ClosePrompt"] = 1;

    FocusReceiver receiver(QStringLiteral(FOCUS_RECEIVER));
    if (!receiver.start()) {
        std::printf("the receiving window did not get the focus\n");
        return 1;
    }
    RecognitionThread thread(
        std::make_unique<OfflineSpeechService>(OfflineSpeechService::Settings::fromServicesConfig()));
    ResultDispatcher dispatcher(nullptr, FocusTyping::create(), std::make_unique<FakeForegroundWindow>());
    QObject::connect(&thread, &RecognitionThread::textRecognised, &dispatcher, &ResultDispatcher::write);
    thread.start();
    QElapsedTimer ready;
    ready.start();
    while (thread.engineState() != RecognitionThread::EngineState::Ready && ready.elapsed() < 20000)
        QThread::msleep(10);
    if (thread.engineState() != RecognitionThread::EngineState::Ready) {
        std::printf("the offline engine did not get ready, skipped\n");
        return 0;
    }
    takes(thread, receiver, speech.mid(int(0.45 * 32000), 2 * 32000), "2 s");
    takes(thread, receiver, speech + pause + speech, "8 s");
    thread.stop();
    thread.wait();
    return 0;
}
