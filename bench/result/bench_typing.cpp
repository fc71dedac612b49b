// Types texts through the dispatcher's typing route and the X11 backend into a line edit of
// another X client, and prints how fast and how exactly they arrive. With --xdotool, the 200
// mixed characters are also typed by xdotool for comparison.
#include "app/ConfigStore.h"
#include "bench/Figures.h"
#include "platform/fake/FakeForegroundWindow.h"
#include "result/ResultDispatcher.h"
#include "tests/result/FocusReceiver.h"
#include "tests/result/MixedText.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>

namespace {

struct Run {
    double postedMs; // write() until the last key event was processed by the X server
    double typedMs;  // write() until the line edit held the whole text
    bool exact;
};

// Only warnings are of interest here; the routes' progress lines would drown the figures.
void warningsOnly(QtMsgType type, const QMessageLogContext&, const QString& message) {
    if (type != QtDebugMsg && type != QtInfoMsg)
        std::fprintf(stderr, "%s\n", qPrintable(message));
}

using Figures::median;

Run typeOnce(ResultDispatcher& dispatcher, FocusReceiver& receiver, const QString& text) {
    receiver.clear();
    QElapsedTimer clock;
    clock.start();
    dispatcher.write(text);
    // The backend types once the event loop turns; this runs it to the last character.
    QCoreApplication::processEvents();
    const double posted = clock.nsecsElapsed() / 1e6;
    const bool arrived = receiver.waitForText(text, 20000);
    const double typed = clock.nsecsElapsed() / 1e6;
    receiver.settle(400);
    // The receiver reports 30 ms after the last change; that delay is not typing time.
    return {posted, typed - 30, arrived && receiver.text() == text};
}

void bench(ResultDispatcher& dispatcher, FocusReceiver& receiver, const char* name, const QString& text,
           int runs) {
    QVector<double> posted, typed;
    int exact = 0;
    for (int i = 0; i < runs; ++i) {
        const Run run = typeOnce(dispatcher, receiver, text);
        posted << run.postedMs;
        typed << run.typedMs;
        exact += run.exact ? 1 : 0;
        // Let the borrowed keycodes go back between runs, as between utterances.
        receiver.settle(400);
    }
    std::printf(
        "%-34s %4d chars  exact %2d/%-2d  write->last posted %7.1f ms  typed %7.1f ms  %6.0f chars/s\n", name,
        int(text.size()), exact, runs, median(posted), median(typed), text.size() / (median(typed) / 1000.0));
}

// The same text typed by xdotool at the given delay between keys, for comparison.
void benchXdotool(FocusReceiver& receiver, const QString& text, int delayMs) {
    receiver.clear();
    QElapsedTimer clock;
    clock.start();
    QProcess xdotool;
    xdotool.start(QStringLiteral("xdotool"),
                  {QStringLiteral("type"), QStringLiteral("--delay"), QString::number(delayMs), text});
    if (!xdotool.waitForStarted(5000)) {
        std::printf("xdotool not available\n");
        return;
    }
    xdotool.waitForFinished(120000);
    const bool arrived = receiver.waitForText(text, 5000);
    const double typed = clock.nsecsElapsed() / 1e6 - (arrived ? 30 : 0);
    receiver.settle(400);
    int wrong = 0;
    const QString got = receiver.text();
    for (int i = 0; i < qMax(got.size(), text.size()); ++i)
        wrong += got.mid(i, 1) != text.mid(i, 1) ? 1 : 0;
    std::printf("xdotool type --delay %-2d              %4d chars  %s  typed %7.1f ms  %6.0f chars/s\n",
                delayMs, int(text.size()),
                wrong ? qPrintable(QString("%1 wrong").arg(wrong, 3)) : "exact    ", typed,
                text.size() / (typed / 1000.0));
}

} // namespace

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("DISPLAY")) {
        std::fprintf(stderr, "bench_typing needs an X server (run it under xvfb-run)\n");
        return 1;
    }
    qInstallMessageHandler(warningsOnly);
    // The dispatcher is a hidden widget; only the typing backend talks to the X server.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir dir;
    QDir::setCurrent(dir.path());
    ConfigStore& store = ConfigStore::instance();
    store.reload();
    store["TypingModel"] = 1;
    store["IntelligenceModel"] = 0;
    store["TranslationModel"] = 0;
    store["RemovePunctuation"] = 0;

    FocusReceiver receiver(QStringLiteral(FOCUS_RECEIVER));
    if (!receiver.start()) {
        std::fprintf(stderr, "the receiving window did not get the focus\n");
        return 1;
    }
    ResultDispatcher dispatcher(nullptr, FocusTyping::create(), std::make_unique<FakeForegroundWindow>());

    QString chinese;
    for (uint c = 0x4e00; chinese.size() < 200; c += 37)
        chinese += QChar(c);
    bench(dispatcher, receiver, "ASCII sentence", QStringLiteral("Hello, World! The quick brown fox."), 10);
    bench(dispatcher, receiver, "short Chinese sentence", QStringLiteral("你好，世界。今天天气怎么样？"), 10);
    bench(dispatcher, receiver, "200 mixed Chinese/ASCII", mixedText(200), 10);
    bench(dispatcher, receiver, "200 distinct Chinese (worst case)", chinese, 5);
    bench(dispatcher, receiver, "600 mixed Chinese/ASCII", mixedText(600), 5);
    if (app.arguments().contains(QStringLiteral("--xdotool"))) {
        benchXdotool(receiver, mixedText(200), 12);
        benchXdotool(receiver, mixedText(200), 25);
    }
    return 0;
}
