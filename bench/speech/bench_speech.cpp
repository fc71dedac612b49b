// Figures of the recognition path: time from the side key's release to the text with an instant
// engine, and the offline engine's model load time, speed and memory on a 3 s utterance.
#include "app/ConfigStore.h"
#include "app/ServicesConfig.h"
#include "tests/speech/ScriptedSpeechService.h"
#include "tests/speech/WavFile.h"
#include "voice/RecognitionThread.h"
#include "voice/RecordingReady.h"
#include "voice/speech/OfflineSpeechService.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QSemaphore>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <sys/resource.h>

namespace {
double median(QVector<double> v) {
    std::sort(v.begin(), v.end());
    return v.isEmpty() ? 0 : v.at(v.size() / 2);
}
double worst(const QVector<double>& v) {
    return v.isEmpty() ? 0 : *std::max_element(v.begin(), v.end());
}
long peakKb() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}
void writeFile(const QString& name, const QByteArray& bytes) {
    QFile f(name);
    if (f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        f.write(bytes);
}

// Key release (flag raised and saved, as the side key does) to textRecognised, 50 recordings.
void releaseToText(bool wake) {
    auto fake = std::make_unique<ScriptedSpeechService>();
    RecognitionThread thread(std::move(fake));
    QSemaphore emitted;
    QElapsedTimer clock;
    qint64 at = 0;
    QObject::connect(
        &thread, &RecognitionThread::textRecognised, &thread,
        [&](const QString&) {
            at = clock.nsecsElapsed();
            emitted.release();
        },
        Qt::DirectConnection);
    thread.start();
    QVector<double> ms;
    const QByteArray wav = WavFile::make(QByteArray(32000, '\0'));
    for (int i = 0; i < 50; ++i) {
        writeFile(QStringLiteral("record.wav"), wav);
        QThread::msleep(
            static_cast<unsigned long>(i * 37 % 200)); // releases fall anywhere in the poll period
        clock.start();
        ConfigStore::instance()["IsRecording"] = 1;
        ConfigStore::instance().save();
        if (wake)
            RecordingReady::notify();
        emitted.acquire();
        ms << at / 1e6;
    }
    thread.stop();
    thread.wait();
    std::printf("release -> textRecognised, instant engine, %s: median %.2f ms, worst %.2f ms (50 runs)\n",
                wake ? "woken at release" : "poll only (no wake-up)", median(ms), worst(ms));
}

void decode(OfflineSpeechService& engine, const QByteArray& samples, const char* what);

void offlineEngine() {
    QFile raw(QStringLiteral("/usr/share/pocketsphinx/test/data/goforward.raw"));
    if (!raw.open(QIODevice::ReadOnly)) {
        std::printf("offline engine: pocketsphinx-testdata missing, skipped\n");
        return;
    }
    const QByteArray speech = raw.readAll();
    const long before = peakKb();
    OfflineSpeechService engine(OfflineSpeechService::Settings::fromServicesConfig());
    QElapsedTimer t;
    t.start();
    if (engine.login({}, {}, {}) != 0) {
        std::printf("offline engine: model did not load, skipped\n");
        return;
    }
    const double loadMs = t.nsecsElapsed() / 1e6;

    std::printf("offline engine: model load %.0f ms\n", loadMs);

    // 3 s each: the recording with its own trailing pause, and one cut right after the last word
    // (the speech ends 2.4 s in; quiet lead-in before it).
    const QByteArray paused = speech + QByteArray(3 * 32000 - speech.size(), '\0');
    const QByteArray cut = QByteArray(int(0.6 * 32000), '\0') + speech.left(int(2.4 * 32000));
    decode(engine, paused, "ending in a pause");
    decode(engine, cut, "cut at the last word");
    std::printf("peak memory: %.1f MB before the model, %.1f MB after loading and decoding\n",
                before / 1024.0, peakKb() / 1024.0);
}

void decode(OfflineSpeechService& engine, const QByteArray& samples, const char* what) {
    const QByteArray wav = WavFile::make(samples);
    const double seconds = samples.size() / 32000.0;
    QElapsedTimer t;
    QVector<double> rtf, finalMs;
    QString text;
    for (int run = 0; run < 10; ++run) {
        int error = 0, endpoint = 0, recognition = 0;
        const auto session = engine.sessionBegin({}, RecognitionThread::sessionRows[1], &error);
        QByteArray result;
        t.start();
        for (int sent = 0; sent < wav.size();) {
            const int left = wav.size() - sent;
            const int n = left < RecognitionThread::TailSize ? left : RecognitionThread::ChunkSize;
            engine.audioWrite(session, wav.constData() + sent, n, sent ? 2 : 1, &endpoint, &recognition);
            if (recognition == SpeechService::ResultReady)
                result += engine.getResult(session, &recognition, 0, &error);
            sent += n;
        }
        QElapsedTimer closing;
        closing.start();
        engine.audioWrite(session, nullptr, 0, 4, &endpoint, &recognition);
        while (recognition != SpeechService::ResultComplete)
            result += engine.getResult(session, &recognition, 0, &error);
        finalMs << closing.nsecsElapsed() / 1e6;
        rtf << (t.nsecsElapsed() / 1e9) / seconds;
        engine.sessionEnd(session, {});
        text = QString::fromUtf8(result);
    }
    std::printf("offline engine, %.1f s utterance %s (\"%s\"), 10 runs: real-time factor median %.3f, "
                "worst %.3f; closing write -> final text median %.1f ms, worst %.1f ms\n",
                seconds, what, qPrintable(text), median(rtf), worst(rtf), median(finalMs), worst(finalMs));
}
} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
    QTemporaryDir dir;
    QDir::setCurrent(dir.path());
    ConfigStore::instance().reload();
    ServicesConfig::instance().reload();
    offlineEngine();
    releaseToText(true);
    releaseToText(false);
    return 0;
}
