#include "app/ConfigStore.h"
#include "app/ServicesConfig.h"
#include "tests/support/MessageLog.h"
#include "tests/speech/WavFile.h"
#include "tests/support/TestDir.h"
#include "voice/IatThread.h"
#include "voice/speech/HttpSpeechService.h"
#include "voice/speech/OfflineSpeechService.h"

#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QtTest>
#include <memory>

// A one-request-at-a-time HTTP server on loopback that records what it received and answers as
// told (or not at all).
class LoopbackServer : public QObject {
    Q_OBJECT
public:
    QByteArray status = "200 OK";
    QByteArray body = R"({"text":"hello"})";
    bool answer = true;

    QByteArray method, path, headers, content;
    int requests = 0;

    LoopbackServer() {
        connect(&m_server, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket* socket = m_server.nextPendingConnection()) {
                connect(socket, &QTcpSocket::readyRead, this, [this, socket] { read(socket); });
                connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
            }
        });
        m_server.listen(QHostAddress::LocalHost);
    }
    QString base() const { return QStringLiteral("http://127.0.0.1:%1/api/").arg(m_server.serverPort()); }

    QByteArray header(const QByteArray& name) const {
        for (const QByteArray& line : headers.split('\n')) {
            const int colon = line.indexOf(':');
            if (colon > 0 && line.left(colon).trimmed().toLower() == name.toLower())
                return line.mid(colon + 1).trimmed();
        }
        return QByteArray();
    }
    // The multipart form fields: name → content.
    QMap<QByteArray, QByteArray> fields() const {
        QMap<QByteArray, QByteArray> map;
        const QByteArray type = header("Content-Type");
        const int b = type.indexOf("boundary=");
        if (b < 0)
            return map;
        QByteArray boundary = type.mid(b + 9);
        if (boundary.startsWith('"'))
            boundary = boundary.mid(1, boundary.size() - 2);
        const QByteArray delimiter = "--" + boundary;
        int pos = content.indexOf(delimiter);
        while (pos >= 0) {
            const int start = pos + delimiter.size() + 2;
            const int next = content.indexOf("\r\n" + delimiter, start);
            if (next < 0)
                break;
            const QByteArray part = content.mid(start, next - start);
            const int split = part.indexOf("\r\n\r\n");
            const QByteArray head = part.left(split);
            const int n = head.indexOf("name=\"");
            if (split > 0 && n >= 0) {
                const QByteArray name = head.mid(n + 6, head.indexOf('"', n + 6) - n - 6);
                map.insert(name, part.mid(split + 4));
            }
            pos = next + 2;
        }
        return map;
    }
    QByteArray partHeaders(const QByteArray& name) const {
        const int n = content.indexOf("name=\"" + name + "\"");
        return n < 0 ? QByteArray() : content.mid(n, content.indexOf("\r\n\r\n", n) - n);
    }

private:
    void read(QTcpSocket* socket) {
        QByteArray& buffer = m_buffers[socket];
        buffer += socket->readAll();
        const int end = buffer.indexOf("\r\n\r\n");
        if (end < 0)
            return;
        const QByteArray head = buffer.left(end);
        const int lineEnd = head.indexOf("\r\n");
        const QList<QByteArray> requestLine = head.left(lineEnd).split(' ');
        headers = head.mid(lineEnd + 2);
        const int length = header("Content-Length").toInt();
        if (buffer.size() < end + 4 + length)
            return;
        method = requestLine.value(0);
        path = requestLine.value(1);
        content = buffer.mid(end + 4, length);
        ++requests;
        m_buffers.remove(socket);
        if (!answer)
            return;
        socket->write("HTTP/1.1 " + status + "\r\nContent-Type: application/json\r\nContent-Length: " +
                      QByteArray::number(body.size()) + "\r\nConnection: close\r\n\r\n" + body);
        socket->disconnectFromHost();
    }
    QTcpServer m_server;
    QMap<QTcpSocket*, QByteArray> m_buffers;
};

class TestHttpSpeech : public QObject {
    Q_OBJECT
private:
    std::unique_ptr<TestDir> m_dir;
    std::unique_ptr<MessageLog> m_log;
    std::unique_ptr<LoopbackServer> m_server;

    void configure(const QByteArray& speech) {
        m_dir->write("services.ini", "[speech]\n" + speech);
        ServicesConfig::instance().reload();
    }
    std::unique_ptr<IatThread> thread() { return std::make_unique<IatThread>(SpeechService::create()); }
    QString recognise(IatThread& thread, const QByteArray& config, const QByteArray& wav) {
        m_dir->write("config.txt", config + "IsRecording=1\n");
        m_dir->write("record.wav", wav);
        ConfigStore::instance().reload();
        QSignalSpy spy(&thread, &IatThread::writeText);
        if (!thread.pass() || spy.count() != 1)
            return QStringLiteral("<no pass>");
        return spy.at(0).at(0).toString();
    }

private slots:
    void init() {
        m_dir = std::make_unique<TestDir>();
        m_dir->write("userwords.txt",
                     "Zorvel\r\n\xe8\xaf\xad\xe9\x9f\xb3\xe9\xbc\xa0\xe6\xa0\x87\r\n\r\nnotepad\r\n");
        m_server = std::make_unique<LoopbackServer>();
        m_log = std::make_unique<MessageLog>();
    }
    void cleanup() {
        m_log.reset();
        m_server.reset();
        m_dir.reset();
    }

    void engineChoice_data() {
        QTest::addColumn<QByteArray>("speech");
        QTest::addColumn<bool>("http");
        QTest::addColumn<QString>("warning");
        QTest::newRow("nothing configured") << QByteArray() << false << QString();
        QTest::newRow("a server address") << QByteArray("url=http://127.0.0.1:9/\n") << true << QString();
        QTest::newRow("http chosen") << QByteArray("engine=http\nurl=http://127.0.0.1:9/\n") << true
                                     << QString();
        QTest::newRow("offline chosen despite an address")
            << QByteArray("engine=offline\nurl=http://127.0.0.1:9/\n") << false << QString();
        QTest::newRow("http without address") << QByteArray("engine=http\n") << false << "needs url=";
        QTest::newRow("unknown engine") << QByteArray("engine=magic\n") << false << "unknown engine";
    }
    void engineChoice() {
        QFETCH(QByteArray, speech);
        QFETCH(bool, http);
        QFETCH(QString, warning);
        configure(speech);
        const std::unique_ptr<SpeechService> engine = SpeechService::create();
        QCOMPARE(dynamic_cast<HttpSpeechService*>(engine.get()) != nullptr, http);
        QCOMPARE(dynamic_cast<OfflineSpeechService*>(engine.get()) != nullptr, !http);
        if (warning.isEmpty())
            QVERIFY(m_log->warnings().isEmpty());
        else
            QVERIFY(m_log->contains(warning));
    }

    void shippedSettingsChooseTheOfflineEngine() {
        QFile::copy(TestDir::dataDir() + "/services.ini", m_dir->file("services.ini"));
        QFile::remove(m_dir->file("userwords.txt"));
        QVERIFY(QFile::copy(TestDir::dataDir() + "/userwords.txt", m_dir->file("userwords.txt")));
        ServicesConfig::instance().reload();
        const std::unique_ptr<SpeechService> engine = SpeechService::create();
        QVERIFY(dynamic_cast<OfflineSpeechService*>(engine.get()));
        QVERIFY(HttpSpeechService::promptFromWords(m_dir->read("userwords.txt"))
                    .contains(QString::fromUtf8("记事本")));
        QVERIFY(m_log->warnings().isEmpty());
    }

    void requestCarriesTheForm_data() {
        QTest::addColumn<QByteArray>("config");
        QTest::addColumn<QByteArray>("language");
        QTest::newRow("typing Mandarin")
            << QByteArray("TypingModel=1\nTypingLanguage=0\n") << QByteArray("zh");
        QTest::newRow("typing English")
            << QByteArray("TypingModel=1\nTypingLanguage=1\n") << QByteArray("en");
        QTest::newRow("intelligent Cantonese")
            << QByteArray("IntelligenceModel=1\nIntelligenceLanguage=2\n") << QByteArray("yue");
        QTest::newRow("typing Sichuanese")
            << QByteArray("TypingModel=1\nTypingLanguage=3\n") << QByteArray("zh");
        QTest::newRow("typing Henanese")
            << QByteArray("TypingModel=1\nTypingLanguage=4\n") << QByteArray("zh");
        QTest::newRow("translation English")
            << QByteArray("TranslationModel=1\nTranslationLanguage=1\n") << QByteArray("en");
    }
    void requestCarriesTheForm() {
        QFETCH(QByteArray, config);
        QFETCH(QByteArray, language);
        configure("url=" + m_server->base().toUtf8() + "\nkey=s3cret-key\nmodel=large-v3\n");
        m_server->body = R"({"text":" 打开记事本 ","language":"zh"})";
        auto t = thread();
        const QByteArray wav = WavFile::make(QByteArray(20000, '\x05'));
        QCOMPARE(recognise(*t, config, wav), QString::fromUtf8("打开记事本"));
        QCOMPARE(m_server->requests, 1);
        QCOMPARE(m_server->method, QByteArray("POST"));
        QCOMPARE(m_server->path, QByteArray("/api/v1/audio/transcriptions"));
        QCOMPARE(m_server->header("Authorization"), QByteArray("Bearer s3cret-key"));
        QVERIFY(m_server->header("Content-Type").startsWith("multipart/form-data"));
        const auto fields = m_server->fields();
        QCOMPARE(fields.value("file"), wav);
        QVERIFY(m_server->partHeaders("file").contains("filename=\"record.wav\""));
        QCOMPARE(fields.value("model"), QByteArray("large-v3"));
        QCOMPARE(fields.value("language"), language);
        QCOMPARE(QString::fromUtf8(fields.value("prompt")), QString::fromUtf8("Zorvel, 语音鼠标, notepad"));
        QVERIFY2(m_log->warnings().isEmpty(), qPrintable(m_log->warnings().join('\n')));
    }

    void noKeyNoAuthorization() {
        configure("url=" + m_server->base().toUtf8() + "\n");
        auto t = thread();
        QCOMPARE(recognise(*t, "TypingModel=1\n", WavFile::make(QByteArray(100, 'a'))), QString("hello"));
        QVERIFY(m_server->header("Authorization").isNull());
        QCOMPARE(m_server->fields().value("model"), QByteArray("default"));
    }

    void failuresGiveEmptyText_data() {
        QTest::addColumn<QByteArray>("status");
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<bool>("answer");
        QTest::addColumn<QString>("warning");
        QTest::newRow("server error")
            << QByteArray("500 Internal Server Error") << QByteArray("{\"error\":1}") << true << "HTTP 500";
        QTest::newRow("unauthorised")
            << QByteArray("401 Unauthorized") << QByteArray("{}") << true << "HTTP 401";
        QTest::newRow("not JSON") << QByteArray("200 OK") << QByteArray("<html>hello</html>") << true
                                  << "not JSON";
        QTest::newRow("JSON without text")
            << QByteArray("200 OK") << QByteArray("{\"txt\":\"a\"}") << true << "not JSON";
        QTest::newRow("text not a string")
            << QByteArray("200 OK") << QByteArray("{\"text\":5}") << true << "not JSON";
        QTest::newRow("JSON array") << QByteArray("200 OK") << QByteArray("[\"text\"]") << true << "not JSON";
        QTest::newRow("no answer") << QByteArray() << QByteArray() << false << "no reply";
    }
    void failuresGiveEmptyText() {
        QFETCH(QByteArray, status);
        QFETCH(QByteArray, body);
        QFETCH(bool, answer);
        QFETCH(QString, warning);
        configure("url=" + m_server->base().toUtf8() + "\ntimeout_ms=400\n");
        m_server->status = status;
        m_server->body = body;
        m_server->answer = answer;
        auto t = thread();
        QCOMPARE(recognise(*t, "TypingModel=1\n", WavFile::make(QByteArray(9000, 'a'))), QString());
        QVERIFY2(m_log->contains(warning), qPrintable(m_log->warnings().join('\n')));
        QVERIFY(m_log->contains("Voice Transcribe , SpeechAudioWrite failed !"));
        QCOMPARE(int(ConfigStore::instance()["IsRecording"]), 0);
        QVERIFY(!QFile::exists(m_dir->file("record.wav")));

        // The next recording goes through once the server behaves.
        m_server->status = "200 OK";
        m_server->body = R"({"text":"again"})";
        m_server->answer = true;
        QCOMPARE(recognise(*t, "TypingModel=1\n", WavFile::make(QByteArray(9000, 'a'))), QString("again"));
    }

    void unreachableServer() {
        quint16 port;
        {
            QTcpServer probe;
            probe.listen(QHostAddress::LocalHost);
            port = probe.serverPort();
        }
        configure("url=http://127.0.0.1:" + QByteArray::number(port) + "\ntimeout_ms=5000\n");
        auto t = thread();
        QCOMPARE(recognise(*t, "TypingModel=1\n", WavFile::make(QByteArray(100, 'a'))), QString());
        QVERIFY2(m_log->contains("request failed"), qPrintable(m_log->warnings().join('\n')));
    }

    void badAddressFailsLogin() {
        configure("engine=http\nurl=ftp://example.invalid/\n");
        auto t = thread();
        QVERIFY(m_log->contains("SpeechLogin failed !"));
    }

    void requestRunsOnTheRecognitionThread() {
        // The thread has no event loop of its own; the engine brings one for the request.
        configure("url=" + m_server->base().toUtf8() + "\n");
        auto t = thread();
        m_dir->write("config.txt", "TypingModel=1\nIsRecording=1\n");
        m_dir->write("record.wav", WavFile::make(QByteArray(3000, 'b')));
        ConfigStore::instance().reload();
        QSignalSpy spy(t.get(), &IatThread::writeText);
        t->start();
        QTRY_COMPARE(spy.count(), 1);
        QCOMPARE(spy.at(0).at(0).toString(), QString("hello"));
        t->stop();
        QVERIFY(t->wait(5000));
    }

    void promptFromWords_data() {
        QTest::addColumn<QByteArray>("words");
        QTest::addColumn<QString>("prompt");
        QTest::newRow("utf-8 lines") << QByteArray("a\nb c\n") << "a, b c";
        QTest::newRow("bom and blanks") << QByteArray("\xef\xbb\xbf one \r\n\r\n two") << "one, two";
        QTest::newRow("gbk") << QByteArray("\xd3\xef\xd2\xf4\r\nQt") << QString::fromUtf8("语音, Qt");
        QTest::newRow("empty") << QByteArray() << "";
    }
    void promptFromWords() {
        QFETCH(QByteArray, words);
        QFETCH(QString, prompt);
        QCOMPARE(HttpSpeechService::promptFromWords(words), prompt);
    }
};

QTEST_GUILESS_MAIN(TestHttpSpeech)
#include "tst_httpspeech.moc"
