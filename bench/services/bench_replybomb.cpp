// Peak resident memory of the three HTTP clients (update check, speech engine, translation) when a
// loopback server answers each with a gzip bomb although identity was asked.
// Usage: bench_replybomb [inflated MiB, default 1024]
#include "app/ConfigStore.h"
#include "app/ServicesConfig.h"
#include "platform/fake/FakeFocusTyping.h"
#include "platform/fake/FakeForegroundWindow.h"
#include "result/ResultDispatcher.h"
#include "services/UpdateCheck.h"
#include "tests/support/GzipBomb.h"
#include "tests/support/LoopbackHttpServer.h"
#include "tests/support/PeakMemory.h"
#include "voice/speech/HttpSpeechService.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <cstdio>
#include <functional>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
    const qint64 mib = argc > 1 ? atoll(argv[1]) : 1024;
    QTemporaryDir work;
    QDir::setCurrent(work.path());

    QElapsedTimer clock;
    clock.start();
    LoopbackHttpServer server;
    server.mode = LoopbackHttpServer::Gzip;
    server.body = gzipBomb(mib << 20);
    std::printf("gzip bomb: %lld MiB inflated, %lld bytes on the wire (made in %lld ms)\n", mib,
                qint64(server.body.size()), clock.elapsed());

    QFile ini("services.ini");
    ini.open(QIODevice::WriteOnly);
    ini.write(QString("[update]\nserver=%1\n[speech]\nurl=%1\n[translation]\nhost=%2\n")
                  .arg(server.url(), server.url().mid(7))
                  .toUtf8());
    ini.close();
    ServicesConfig::instance().reload();
    ConfigStore::instance()["TranslationModel"] = 1;

    const QList<QPair<const char*, std::function<void()>>> clients = {
        {"update check",
         [] {
             UpdateCheck check;
             QSignalSpy done(&check, &UpdateCheck::startupCheckFinished);
             done.wait(60000);
         }},
        {"speech engine",
         [] {
             HttpSpeechService engine(HttpSpeechService::Settings::fromServicesConfig());
             int error = 0, endpoint = 0, recognition = 0;
             const SpeechService::Session session = engine.sessionBegin({}, {}, &error);
             const QByteArray audio(32000, '\0');
             engine.audioWrite(session, audio.constData(), audio.size(), SpeechService::AudioLast, &endpoint,
                               &recognition);
             engine.sessionEnd(session, {});
         }},
        {"translation",
         [] {
             ResultDispatcher dispatcher(nullptr, std::make_unique<FakeFocusTyping>(),
                                         std::make_unique<FakeForegroundWindow>());
             dispatcher.write(QStringLiteral("hello"));
             QTest::qWaitFor([&] { return dispatcher.pendingTranslations() == 0; }, 60000);
         }},
    };
    for (const auto& [name, run] : clients) {
        QTest::qWait(200);
        PeakMemory::reset();
        const qint64 before = PeakMemory::read("VmRSS");
        const int requests = server.requests.size();
        clock.restart();
        run();
        std::printf("%-14s peak resident %6.1f MB (%+.1f MB over the %5.1f MB before), %lld ms, "
                    "Accept-Encoding: %s\n",
                    name, PeakMemory::read("VmHWM") / 1e6, (PeakMemory::read("VmHWM") - before) / 1e6, before / 1e6,
                    clock.elapsed(),
                    server.requests.size() > requests ? server.last().header("Accept-Encoding").constData()
                                                      : "(no request)");
    }
    return 0;
}
