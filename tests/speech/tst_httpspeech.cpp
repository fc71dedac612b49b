#include "app/ConfigStore.h"
#include "app/ServicesConfig.h"
#include "tests/speech/WavFile.h"
#include "tests/support/GzipBomb.h"
#include "tests/support/LoopbackHttpServer.h"
#include "tests/support/MessageLog.h"
#include "tests/support/PeakMemory.h"
#include "tests/support/Rows.h"
#include "tests/support/TestDir.h"
#include "voice/RecognitionThread.h"
#include "voice/speech/HttpSpeechService.h"
#include "voice/speech/OfflineSpeechService.h"

#include <QElapsedTimer>
#include <QtTest>
#include <memory>

// The part of a multipart form named name: its headers and its content.
static QPair<QByteArray, QByteArray> formPart(const QByteArray& form, const QByteArray& name) {
    const int at = form.indexOf("name=\"" + name + "\"");
    if (at < 0)
        return {};
    const int head = form.lastIndexOf("\r\n", at) + 2, content = form.indexOf("\r\n\r\n", at) + 4;
    return {form.mid(head, content - 4 - head), form.mid(content, form.indexOf("\r\n--", content) - content)};
}

using Engine = Rows<QByteArray, QString>;       // speech, warning
using Form = Rows<QByteArray, QByteArray>;      // config, language
using Failure = Rows<int, QByteArray, QString>; // status, body, warning

class TestHttpSpeech : public QObject {
    Q_OBJECT
private:
    std::unique_ptr<TestDir> m_dir;
    std::unique_ptr<MessageLog> m_log;
    std::unique_ptr<LoopbackHttpServer> m_server;

    void configure(const QByteArray& speech) {
        m_dir->write("services.ini", "[speech]\n" + speech);
        ServicesConfig::instance().reload();
    }
    QByteArray serverUrl() const { return "url=" + m_server->url().toUtf8() + "/api/\n"; }
    // A running recognition thread on the engine services.ini names.
    std::unique_ptr<RecognitionThread> thread() {
        auto t = std::make_unique<RecognitionThread>(SpeechService::create());
        t->start();
        return t;
    }
    // The text of one take of the samples in the mode of config; "<unavailable>" when the
    // engine failed.
    QString recognise(RecognitionThread& thread, const QByteArray& config = "TypingModel=1\n",
                      const QByteArray& samples = QByteArray(9000, 'a')) {
        m_dir->write("config.txt", config);
        ConfigStore::instance().reload();
        QStringList outcomes;
        QObject receiver; // disconnects when the take is done
        connect(&thread, &RecognitionThread::textRecognised, &receiver,
                [&](const QString& t) { outcomes << t; });
        connect(&thread, &RecognitionThread::recognitionFailed, &receiver,
                [&] { outcomes << "<unavailable>"; });
        TakeQueue& takes = thread.takes();
        const TakeQueue::TakePtr take = takes.begin();
        takes.append(take, samples);
        takes.close(take);
        if (!QTest::qWaitFor([&] { return !outcomes.isEmpty(); }, 10000))
            return QStringLiteral("<no outcome>");
        return outcomes.size() == 1 ? outcomes.first() : QStringLiteral("<%1 outcomes>").arg(outcomes.size());
    }

private slots:
    void init() {
        m_dir = std::make_unique<TestDir>();
        // In GBK, with blank lines and spaces: they become "Zorvel, 语音鼠标, notepad".
        m_dir->write("userwords.txt", "Zorvel\r\n\xd3\xef\xd2\xf4\xca\xf3\xb1\xea\r\n\r\n notepad \r\n");
        m_server = std::make_unique<LoopbackHttpServer>();
        m_server->body = R"({"text":"hello"})";
        m_log = std::make_unique<MessageLog>();
    }
    void cleanup() {
        m_log.reset();
        m_server.reset();
        m_dir.reset();
    }

    void engineChoice_data() {
        const Engine row;
        row("nothing configured", "", "");
        row("offline chosen despite an address", "engine=offline\nurl=http://127.0.0.1:9/\n", "");
        row("http without address", "engine=http\n", "needs url=");
        row("an engine name of a megabyte, cut in the log", "engine=" + QByteArray(1 << 20, 'x') + "\n",
            "unknown engine");
    }
    // The offline engine serves unless a server is configured (the request tests choose one);
    // values of services.ini go into the log cut short.
    void engineChoice() {
        const auto [speech, warning] = Engine::fetch();
        configure(speech);
        QVERIFY(dynamic_cast<OfflineSpeechService*>(SpeechService::create().get()));
        QCOMPARE(m_log->warnings().isEmpty(), warning.isEmpty());
        QVERIFY(warning.isEmpty() || m_log->contains(warning));
        for (const QString& line : m_log->warnings())
            QVERIFY2(line.size() < 1000, qPrintable(QString::number(line.size())));
    }

    void requestCarriesTheForm_data() {
        const Form row;
        row("typing Mandarin", "TypingModel=1\nTypingLanguage=0\n", "zh");
        row("two modes: the later flag wins",
            "TypingModel=1\nTypingLanguage=2\nTranslationModel=1\nTranslationLanguage=1\n", "en");
    }
    void requestCarriesTheForm() {
        const auto [config, language] = Form::fetch();
        configure(serverUrl() + "key=s3cret-key\nmodel=large-v3\n");
        m_server->body = R"({"text":" 打开记事本 ","language":"zh"})";
        auto t = thread();
        const QByteArray samples(20000, '\x05');
        const QByteArray wav = WavFile::make(samples);
        QCOMPARE(recognise(*t, config, samples), QString::fromUtf8("打开记事本"));
        QCOMPARE(m_server->requests.size(), 1);
        const LoopbackHttpServer::Request request = m_server->last();
        QCOMPARE(request.path, QByteArray("/api/v1/audio/transcriptions"));
        QCOMPARE(request.header("Authorization"), QByteArray("Bearer s3cret-key"));
        QCOMPARE(formPart(request.body, "file").second, wav);
        QVERIFY(formPart(request.body, "file").first.contains("filename=\"record.wav\""));
        QCOMPARE(formPart(request.body, "model").second, QByteArray("large-v3"));
        QCOMPARE(formPart(request.body, "language").second, language);
        QCOMPARE(QString::fromUtf8(formPart(request.body, "prompt").second),
                 QString::fromUtf8("Zorvel, 语音鼠标, notepad"));
        QVERIFY2(m_log->warnings().isEmpty(), qPrintable(m_log->warnings().join('\n')));
    }

    // Status -1: the server trickles a valid reply one byte every 50 ms; -2: it answers 200 with a
    // gzip body (256 MiB inflated) although identity was asked. Memory never holds more than the cap.
    void failuresMakeTheServiceUnavailable_data() {
        const Failure row;
        row("unauthorised", 401, "{}", "HTTP 401");
        row("not JSON", 200, "<html>hello</html>", "not JSON");
        row("a reply trickling past the deadline", -1, "{\"text\":\"slow\"}", "no complete reply");
        row("a reply over 1 MiB", 200,
            "{\"text\":\"" + QByteArray(HttpSpeechService::MaxReplyBytes, 'a') + "\"}",
            "reply larger than 1048576 bytes refused");
        row("a gzip bomb", -2, gzipBomb(256 << 20), "reply larger than 1048576 bytes refused");
    }
    void failuresMakeTheServiceUnavailable() {
        const auto [status, body, warning] = Failure::fetch();
        configure(serverUrl() + "timeout_ms=400\n");
        m_server->status = status == -2 ? 200 : status;
        m_server->body = body;
        m_server->mode = status > 0     ? LoopbackHttpServer::Answer
                         : status == -1 ? LoopbackHttpServer::Trickle
                                        : LoopbackHttpServer::Gzip;
        auto t = thread();
        QVERIFY(PeakMemory::reset());
        const qint64 before = PeakMemory::read("VmRSS");
        QElapsedTimer clock;
        clock.start();
        QCOMPARE(recognise(*t), QString("<unavailable>"));
        QVERIFY2(clock.elapsed() < 3000, qPrintable(QString::number(clock.elapsed())));
        QVERIFY2(m_log->contains(warning), qPrintable(m_log->warnings().join('\n')));
        QVERIFY2(PeakMemory::read("VmHWM") - before < 32 << 20,
                 qPrintable(QString::number(PeakMemory::read("VmHWM") - before)));
        QCOMPARE(m_server->last().header("Accept-Encoding"), QByteArray("identity"));
        QTRY_COMPARE(int(ConfigStore::instance()["IsRecording"]), 0);
        QCOMPARE(t->engineState(), RecognitionThread::EngineState::Failing);

        // The next take goes through once the server behaves.
        m_server->status = 200;
        m_server->body = R"({"text":"again"})";
        m_server->mode = LoopbackHttpServer::Answer;
        QCOMPARE(recognise(*t), QString("again"));
        QCOMPARE(t->engineState(), RecognitionThread::EngineState::Ready);
    }
};

QTEST_GUILESS_MAIN(TestHttpSpeech)
#include "tst_httpspeech.moc"
