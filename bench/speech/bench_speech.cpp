// Figures of the recognition path: time from the side key's release to the text with an instant
// engine and with the offline engine fed at the pace of speech (2.8 s and 8 s takes), the offline
// engine's model load time, speed and memory on a 3 s utterance, and the recognition thread's
// wake-ups while idle.
#include "app/ConfigStore.h"
#include "app/ServicesConfig.h"
#include "app/SingleApplication.h"
#include "bench/Figures.h"
#include "bench/SpeakingPace.h"
#include "tests/speech/ScriptedSpeechService.h"
#include "tests/speech/WavFile.h"
#include "voice/RecognitionThread.h"
#include "voice/speech/OfflineSpeechService.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLocalSocket>
#include <QProcess>
#include <QSemaphore>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <sys/resource.h>

namespace {
using Figures::median;
using Figures::worst;
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

// Release (the take closed, as the side key does) to textRecognised, 50 takes of 1 s.
void releaseToText() {
    RecognitionThread thread(std::make_unique<ScriptedSpeechService>());
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
    for (int i = 0; i < 50; ++i) {
        TakeQueue& takes = thread.takes();
        const TakeQueue::TakePtr take = takes.begin();
        takes.append(take, QByteArray(32000, '\0'));
        QThread::msleep(static_cast<unsigned long>(i * 37 % 200));
        clock.start();
        takes.close(take);
        emitted.acquire();
        ms << at / 1e6;
    }
    thread.stop();
    thread.wait();
    std::printf("release -> textRecognised, instant engine: median %.2f ms, worst %.2f ms (50 takes)\n",
                median(ms), worst(ms));
}

// Wake-ups of the recognition thread while no take comes.
void idleWakeUps(int seconds) {
    RecognitionThread thread(std::make_unique<ScriptedSpeechService>());
    thread.start();
    QThread::msleep(300); // logged in and waiting
    const qint64 before = thread.takes().wakeUps();
    QThread::sleep(static_cast<unsigned long>(seconds));
    const qint64 after = thread.takes().wakeUps();
    thread.stop();
    thread.wait();
    std::printf("recognition thread wake-ups while idle: %lld in %d s (%.1f per minute)\n", after - before,
                seconds, (after - before) * 60.0 / seconds);
}

// Takes of the offline engine fed in 50 ms buffers at the pace of speech on the recognition
// thread; release -> final text, 10 takes each.
void streamedTakes(const QByteArray& samples, const char* what) {
    ConfigStore::instance()["TypingModel"] = 1; // English: the one language of the offline engine
    ConfigStore::instance()["TypingLanguage"] = 1;
    RecognitionThread thread(
        std::make_unique<OfflineSpeechService>(OfflineSpeechService::Settings::fromServicesConfig()));
    QSemaphore emitted;
    QElapsedTimer clock;
    qint64 at = 0;
    QString text;
    QObject::connect(
        &thread, &RecognitionThread::textRecognised, &thread,
        [&](const QString& t) {
            at = clock.nsecsElapsed();
            text = t;
            emitted.release();
        },
        Qt::DirectConnection);
    thread.start();
    for (int waited = 0; thread.engineState() != RecognitionThread::EngineState::Ready; waited += 10) {
        if (waited > 20000) {
            std::printf("offline engine, streamed %s take: the engine did not get ready, skipped\n", what);
            return;
        }
        QThread::msleep(10);
    }
    QVector<double> ms;
    for (int run = 0; run < 10; ++run) {
        TakeQueue& takes = thread.takes();
        const TakeQueue::TakePtr take = takes.begin();
        feedAtSpeakingPace(takes, take, samples);
        clock.start();
        takes.close(take);
        emitted.acquire();
        ms << at / 1e6;
    }
    thread.stop();
    thread.wait();
    std::printf(
        "offline engine, streamed %s take (\"%s\"): release -> final text median %.1f ms, worst %.1f ms "
        "(10 takes)\n",
        what, qPrintable(text), median(ms), worst(ms));
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
    engine.logout();
    QByteArray pause(int(2.4 * 32000), '\0');
    for (int i = 0; i < pause.size(); i += 2)
        pause[i] = char(i * 7 % 61 - 30); // a quiet room, not digital silence
    streamedTakes(speech, "2.8 s");
    streamedTakes(speech + pause + speech, "8 s");
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
        const auto session = engine.sessionBegin({}, TakeQueue::sessionRows[1], &error);
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
// Launch of the program to its event loop answering (the single-instance channel reads a
// message, which it does only once the event loop runs), with the offline model and with a model
// that is not there. 5 launches each, in a private folder with the shipped files.
void startup(bool withModel) {
    const QString bin = QStringLiteral(ZORVEL_BIN_DIR);
    QTemporaryDir dir;
    for (const QFileInfo& file : QDir(bin).entryInfoList(QDir::Files))
        if (file.fileName() != QLatin1String("config.txt") && file.fileName() != QLatin1String("record.wav"))
            QFile::copy(file.filePath(), dir.filePath(file.fileName()));
    QFile::remove(dir.filePath(QStringLiteral("services.ini")));
    writeFile(dir.filePath(QStringLiteral("services.ini")),
              withModel ? QByteArray() : QByteArray("[speech]\noffline_model=/nonexistent\n"));
    writeFile(dir.filePath(QStringLiteral("config.txt")),
              "FirstOpen=1\nClosePrompt=1\nTypingModel=1\nTypingLanguage=1\n");
    QDir(dir.path()).mkpath(QStringLiteral("tmp"));
    QDir(dir.path()).mkpath(QStringLiteral("run"));
    QFile::setPermissions(dir.filePath(QStringLiteral("run")),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("TMPDIR"), dir.filePath(QStringLiteral("tmp")));
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), dir.filePath(QStringLiteral("run")));
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), dir.filePath(QStringLiteral("run")));
    qputenv("TMPDIR", dir.filePath(QStringLiteral("tmp")).toUtf8()); // where the channel's socket lies
    qputenv("XDG_RUNTIME_DIR", dir.filePath(QStringLiteral("run")).toUtf8());
    QVector<double> ms;
    for (int run = 0; run < 5; ++run) {
        QProcess program;
        program.setProcessEnvironment(env);
        QElapsedTimer clock;
        clock.start();
        program.start(dir.filePath(QStringLiteral("zorvel")), QStringList());
        while (clock.elapsed() < 20000) {
            QLocalSocket socket;
            socket.connectToServer(SingleApplication::serverName());
            if (socket.waitForConnected(5)) {
                socket.write("probe");
                socket.flush();
                if (socket.state() == QLocalSocket::UnconnectedState || socket.waitForDisconnected(20000)) {
                    ms << clock.nsecsElapsed() / 1e6;
                    break;
                }
            }
            QThread::msleep(2);
        }
        program.kill();
        program.waitForFinished(5000);
    }
    std::printf("launch -> event loop answering, %s: median %.0f ms, worst %.0f ms (%d launches)\n",
                withModel ? "with the offline model" : "without a model", median(ms), worst(ms),
                int(ms.size()));
}
} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    std::setvbuf(stdout, nullptr, _IOLBF, 0); // each figure as soon as it is measured
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
    QTemporaryDir dir;
    QDir::setCurrent(dir.path());
    ConfigStore::instance().reload();
    ServicesConfig::instance().reload();
    startup(false);
    startup(true);
    offlineEngine();
    releaseToText();
    idleWakeUps(argc > 1 ? QByteArray(argv[1]).toInt() : 10);
    return 0;
}
