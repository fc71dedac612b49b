#include "app/ConfigStore.h"
#include "platform/fake/FakeFocusTyping.h"
#include "platform/fake/FakeForegroundWindow.h"
#include "result/TranslationService.h"
#include "result/ZorvelIat.h"
#include "tests/support/TestDir.h"

#include <QRegularExpression>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QtTest>

// A tiny HTTP server on the loopback interface: records each request target and answers it at
// once, holds it until told, or never answers.
class LoopbackServer : public QTcpServer {
    Q_OBJECT
public:
    enum Mode { Answer, Hold, Silent };
    Mode mode = Answer;
    int status = 200;
    QByteArray body;
    QStringList targets;
    QList<QTcpSocket*> held;

    LoopbackServer() {
        connect(this, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket* socket = nextPendingConnection())
                connect(socket, &QTcpSocket::readyRead, this, [this, socket] { readRequest(socket); });
        });
        listen(QHostAddress::LocalHost);
    }

    QString host() const { return QStringLiteral("127.0.0.1:%1").arg(serverPort()); }

    static void answer(QTcpSocket* socket, int status, const QByteArray& body) {
        socket->write("HTTP/1.1 " + QByteArray::number(status) + (status == 200 ? " OK" : " Error") +
                      "\r\nContent-Type: application/json\r\nConnection: close\r\nContent-Length: " +
                      QByteArray::number(body.size()) + "\r\n\r\n" + body);
        socket->disconnectFromHost();
    }

private:
    void readRequest(QTcpSocket* socket) {
        QByteArray& buffer = m_buffers[socket];
        buffer += socket->readAll();
        const int end = buffer.indexOf("\r\n\r\n");
        if (end < 0)
            return;
        const QList<QByteArray> requestLine = buffer.left(buffer.indexOf("\r\n")).split(' ');
        targets << QString::fromLatin1(requestLine.value(1));
        if (mode == Answer)
            answer(socket, status, body);
        else if (mode == Hold)
            held << socket;
    }
    QHash<QTcpSocket*, QByteArray> m_buffers;
};

class TestTranslation : public QObject {
    Q_OBJECT

    std::unique_ptr<TestDir> m_dir;
    std::unique_ptr<LoopbackServer> m_server;
    std::unique_ptr<ZorvelIat> m_iat;
    FakeFocusTyping* m_typing = nullptr;

    void makeDispatcher(const QByteArray& extraIni = QByteArray()) {
        m_dir->write("services.ini", "[translation]\nhost=" + m_server->host().toLatin1() + "\n" + extraIni);
        TestDir::reloadSettings();
        ConfigStore& store = ConfigStore::instance();
        store["TypingModel"] = 0;
        store["IntelligenceModel"] = 0;
        store["TranslationModel"] = 1;
        store["RemovePunctuation"] = 1;
        store["TranslationLanguage"] = 0;
        store["TranslationResultLanguage"] = 1;
        auto typing = std::make_unique<FakeFocusTyping>();
        m_typing = typing.get();
        m_iat =
            std::make_unique<ZorvelIat>(nullptr, std::move(typing), std::make_unique<FakeForegroundWindow>());
    }

    static QByteArray gbk(const char* hexBytes) { return QByteArray::fromHex(hexBytes); }

private slots:
    void init() {
        m_dir = std::make_unique<TestDir>();
        m_server = std::make_unique<LoopbackServer>();
        QVERIFY(m_server->isListening());
        makeDispatcher();
    }
    void cleanup() {
        m_iat.reset();
        m_server.reset();
        m_dir.reset();
    }

    void requestUrl_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("removePunctuation");
        QTest::addColumn<int>("source");
        QTest::addColumn<int>("target");
        QTest::addColumn<QByteArray>("ini");
        QTest::addColumn<QString>("target_");
        QTest::addColumn<QString>("line");
        // Signatures computed with md5sum over id + query + salt + key.
        QTest::newRow("trimmed query, zh to en")
            << "你好。" << 1 << 0 << 1 << QByteArray()
            << "/api/trans/vip/translate?q=%E4%BD%A0%E5%A5%BD&from=zh&to=en&appid=48120937561023847"
               "&salt=6039185274&sign=51b170af475847c82599fe7d0db301d1"
            << "翻译模式：你好。中文---->英语";
        QTest::newRow("credentials from services.ini, spaces")
            << "你好 世界" << 1 << 1 << 4 << QByteArray("appid=7id\nsalt=42\nkey=k3y\n")
            << "/api/trans/vip/translate?q=%E4%BD%A0%E5%A5%BD%20%E4%B8%96%E7%95%8C&from=en&to=jp&appid=7id"
               "&salt=42&sign=0c16f0238ad6e36b3a845842031ea559"
            << "翻译模式：你好 世界英语---->日语";
    }

    void requestUrl() {
        QFETCH(QString, text);
        QFETCH(int, removePunctuation);
        QFETCH(int, source);
        QFETCH(int, target);
        QFETCH(QByteArray, ini);
        QFETCH(QString, target_);
        QFETCH(QString, line);
        makeDispatcher(ini);
        ConfigStore::instance()["RemovePunctuation"] = removePunctuation;
        ConfigStore::instance()["TranslationLanguage"] = source;
        ConfigStore::instance()["TranslationResultLanguage"] = target;
        QSignalSpy lines(m_iat.get(), &ZorvelIat::writeIat);
        m_server->body = "{\"trans_result\":[{\"src\":\"x\",\"dst\":\"ok\"}]}";

        m_iat->write(text);

        QCOMPARE(lines.size(), 1);
        QCOMPARE(lines.at(0).at(0).toString(), line);
        QTRY_COMPARE(m_server->targets.size(), 1);
        QCOMPARE(m_server->targets.first(), target_);
        QTRY_COMPARE(m_typing->posted, QByteArray("ok"));
        QCOMPARE(m_iat->pendingTranslations(), 0);
    }

    void query_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("removePunctuation");
        QTest::addColumn<QString>("q");
        QTest::newRow("no mark: whole text although trimming") << "你好" << 1 << "%E4%BD%A0%E5%A5%BD";
        QTest::newRow("whole text with its mark") << "你好。" << 0 << "%E4%BD%A0%E5%A5%BD%E3%80%82";
        QTest::newRow("unreserved kept") << "aZ09-._~" << 0 << "aZ09-._~";
        QTest::newRow("reserved encoded") << "a+b&c=d/e?f#g%" << 0 << "a%2Bb%26c%3Dd%2Fe%3Ff%23g%25";
        QTest::newRow("spaces") << "hello big world" << 0 << "hello%20big%20world";
        QTest::newRow("comma keeps everything")
            << "好的，谢谢。" << 1 << "%E5%A5%BD%E7%9A%84%EF%BC%8C%E8%B0%A2%E8%B0%A2%E3%80%82";
    }

    void query() {
        QFETCH(QString, text);
        QFETCH(int, removePunctuation);
        QFETCH(QString, q);
        ConfigStore::instance()["RemovePunctuation"] = removePunctuation;
        m_iat->write(text);
        QTRY_COMPARE(m_server->targets.size(), 1);
        const QString target = m_server->targets.first();
        QVERIFY2(target.startsWith("/api/trans/vip/translate?q=" + q + "&from="), qPrintable(target));
    }

    void languages_data() {
        QTest::addColumn<int>("source");
        QTest::addColumn<int>("target");
        QTest::addColumn<QString>("codes");
        QTest::addColumn<QString>("line");
        QTest::newRow("yue to wyw") << 2 << 3 << "from=yue&to=wyw"
                                    << "翻译模式：好。粤语---->文言文";
        QTest::newRow("japanese") << 0 << 4 << "from=zh&to=jp"
                                  << "翻译模式：好。中文---->日语";
        QTest::newRow("traditional") << 0 << 23 << "from=zh&to=cht"
                                     << "翻译模式：好。中文---->中文（繁体）";
        QTest::newRow("last row") << 0 << 24 << "from=zh&to=vie"
                                  << "翻译模式：好。中文---->越南语";
        QTest::newRow("outside both tables") << 3 << 25 << "from=en&to=zh"
                                             << "翻译模式：好。---->";
        QTest::newRow("negative values") << -1 << -1 << "from=en&to=zh"
                                         << "翻译模式：好。---->";
    }

    void languages() {
        QFETCH(int, source);
        QFETCH(int, target);
        QFETCH(QString, codes);
        QFETCH(QString, line);
        ConfigStore::instance()["TranslationLanguage"] = source;
        ConfigStore::instance()["TranslationResultLanguage"] = target;
        QSignalSpy lines(m_iat.get(), &ZorvelIat::writeIat);
        m_iat->write("好。");
        QCOMPARE(lines.size(), 1);
        QCOMPARE(lines.at(0).at(0).toString(), line);
        QTRY_COMPARE(m_server->targets.size(), 1);
        QVERIFY2(m_server->targets.first().contains("&" + codes + "&appid="),
                 qPrintable(m_server->targets.first()));
    }

    void targetTableHas25Rows() {
        QCOMPARE(TranslationService::targetCount(), 25);
        QStringList codes;
        for (int i = 0; i < 25; ++i)
            codes << TranslationService::target(i).code;
        QCOMPARE(codes.join(' '),
                 QString("zh en yue wyw jp fra spa ru pt de it el nl pl bul est dan fin cs rom "
                         "slo swe hu cht vie"));
    }

    void replies_data() {
        QTest::addColumn<int>("status");
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<QByteArray>("typed");
        QTest::newRow("escapes 4F60 597D") << 200
                                           << QByteArray("{\"from\":\"en\",\"to\":\"zh\",\"trans_result\":[{"
                                                         "\"src\":\"hello\",\"dst\":\"\\u4f60\\u597d\"}]}")
                                           << gbk("c4e3bac3");
        QTest::newRow("upper-case hex")
            << 200 << QByteArray("{\"dst\":\"\\u4F60\\u597D\"}") << gbk("c4e3bac3");
        QTest::newRow("two segments: first only")
            << 200
            << QByteArray("{\"trans_result\":[{\"src\":\"a\",\"dst\":\"Hello.\"},{\"src\":\"b\",\"dst\":"
                          "\"World.\"}]}")
            << QByteArray("Hello.");
        QTest::newRow("traditional character as GBK")
            << 200 << QByteArray("{\"dst\":\"\\u8aaa\"}") << gbk("d566");
        QTest::newRow("raw UTF-8 body") << 200 << QByteArray("{\"dst\":\"世界\"}") << gbk("cac0bde7");
        QTest::newRow("escaped quote stays inside")
            << 200 << QByteArray("{\"dst\":\"say \\\"hi\\\" now\"}") << QByteArray("say \"hi\" now");
        QTest::newRow("HTTP error body still parsed")
            << 500 << QByteArray("{\"dst\":\"ok\"}") << QByteArray("ok");
    }

    void replies() {
        QFETCH(int, status);
        QFETCH(QByteArray, body);
        QFETCH(QByteArray, typed);
        m_server->status = status;
        m_server->body = body;
        if (status != 200)
            QTest::ignoreMessage(QtDebugMsg, QRegularExpression("^\"Error:.+"));
        m_iat->write("hello");
        QTRY_COMPARE(m_iat->pendingTranslations(), 0);
        QCOMPARE(m_typing->posted.toHex(' '), typed.toHex(' '));
    }

    void replyWithoutTranslation_data() {
        QTest::addColumn<int>("status");
        QTest::addColumn<QByteArray>("body");
        QTest::newRow("service error answer")
            << 200 << QByteArray("{\"error_code\":\"54001\",\"error_msg\":\"Invalid Sign\"}");
        QTest::newRow("empty body") << 200 << QByteArray();
        QTest::newRow("segment not closed") << 200 << QByteArray("{\"dst\":\"cut off");
        QTest::newRow("HTTP error, empty body") << 503 << QByteArray();
    }

    void replyWithoutTranslation() {
        QFETCH(int, status);
        QFETCH(QByteArray, body);
        m_server->status = status;
        m_server->body = body;
        if (status != 200)
            QTest::ignoreMessage(QtDebugMsg, QRegularExpression("^\"Error:.+"));
        QTest::ignoreMessage(QtWarningMsg, "Translation , reply holds no translation !");
        m_iat->write("hello");
        QTRY_COMPARE(m_iat->pendingTranslations(), 0);
        QVERIFY(m_typing->posted.isEmpty());
    }

    void connectionRefused() {
        m_server->close();
        QTest::ignoreMessage(QtDebugMsg, QRegularExpression("^\"Error:.+"));
        QTest::ignoreMessage(QtWarningMsg, "Translation , reply holds no translation !");
        m_iat->write("hello");
        QTRY_COMPARE(m_iat->pendingTranslations(), 0);
        QVERIFY(m_typing->posted.isEmpty());
    }

    void timeout() {
        makeDispatcher("timeout_ms=300\n");
        m_server->mode = LoopbackServer::Silent;
        QTest::ignoreMessage(QtDebugMsg, QRegularExpression("^\"Error:.+"));
        QTest::ignoreMessage(QtWarningMsg, "Translation , reply holds no translation !");
        m_iat->write("hello");
        QTRY_COMPARE(m_server->targets.size(), 1);
        QCOMPARE(m_iat->pendingTranslations(), 1);
        QTRY_COMPARE_WITH_TIMEOUT(m_iat->pendingTranslations(), 0, 10000);
        QVERIFY(m_typing->posted.isEmpty());
    }

    void severalOutstanding() {
        m_server->mode = LoopbackServer::Hold;
        m_iat->write("one");
        m_iat->write("two");
        m_iat->write("three");
        QCOMPARE(m_iat->pendingTranslations(), 3);
        QTRY_COMPARE(m_server->held.size(), 3);
        // Answer in the reverse order of the requests: each reply is typed as it arrives.
        QHash<QString, QTcpSocket*> byQuery;
        for (int i = 0; i < 3; ++i)
            byQuery.insert(m_server->targets.at(i).section("q=", 1).section('&', 0, 0), m_server->held.at(i));
        LoopbackServer::answer(byQuery.value("three"), 200, "{\"dst\":\"3\"}");
        QTRY_COMPARE(m_typing->posted, QByteArray("3"));
        QCOMPARE(m_iat->pendingTranslations(), 2);
        LoopbackServer::answer(byQuery.value("one"), 200, "{\"dst\":\"1\"}");
        QTRY_COMPARE(m_typing->posted, QByteArray("31"));
        LoopbackServer::answer(byQuery.value("two"), 200, "{\"dst\":\"2\"}");
        QTRY_COMPARE(m_typing->posted, QByteArray("312"));
        QCOMPARE(m_iat->pendingTranslations(), 0);
    }

    void destroyedWithRequestOutstanding() {
        m_server->mode = LoopbackServer::Hold;
        m_iat->write("one");
        QTRY_COMPARE(m_server->held.size(), 1);
        m_iat.reset();
        LoopbackServer::answer(m_server->held.first(), 200, "{\"dst\":\"1\"}");
        QTest::qWait(100);
    }

    void decodeEscapes_data() {
        QTest::addColumn<QString>("segment");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("warned");
        QTest::newRow("two escapes") << "\\u4f60\\u597d"
                                     << "你好" << false;
        QTest::newRow("escape between text") << "a\\u4f60b"
                                             << "a你b" << false;
        QTest::newRow("surrogate pair is one character")
            << "x\\ud83d\\ude00y" << QString::fromUcs4(U"x\U0001F600y") << false;
        QTest::newRow("lone high surrogate")
            << "\\ud83dz" << QString(QChar(QChar::ReplacementCharacter)) + "z" << true;
        QTest::newRow("lone low surrogate")
            << "\\ude00" << QString(QChar(QChar::ReplacementCharacter)) << true;
        QTest::newRow("null escape does not cut the text")
            << "a\\u0000b" << QString("a") + QChar(QChar::ReplacementCharacter) + "b" << true;
        QTest::newRow("escaped backslash before u") << "\\\\u4f60"
                                                    << "\\u4f60" << false;
        QTest::newRow("quote and slash") << "\\\"a\\/b\\\""
                                         << "\"a/b\"" << false;
        QTest::newRow("other escapes kept") << "a\\nb\\tc"
                                            << "a\\nb\\tc" << false;
        QTest::newRow("short escape kept") << "end\\u4f"
                                           << "end\\u4f" << true;
        QTest::newRow("bad hex kept") << "\\uZZZZ!"
                                      << "\\uZZZZ!" << true;
        QTest::newRow("trailing backslash") << "a\\"
                                            << "a\\" << false;
    }

    void decodeEscapes() {
        QFETCH(QString, segment);
        QFETCH(QString, text);
        QFETCH(bool, warned);
        if (warned)
            QTest::ignoreMessage(QtWarningMsg, QRegularExpression("^Translation , .*escape"));
        QCOMPARE(TranslationService::decodeEscapes(segment), text);
    }

    void firstSegment_data() {
        QTest::addColumn<QString>("body");
        QTest::addColumn<bool>("found");
        QTest::addColumn<QString>("segment");
        QTest::newRow("plain") << "{\"dst\":\"abc\"}" << true << "abc";
        QTest::newRow("empty translation") << "{\"dst\":\"\"}" << true << "";
        QTest::newRow("marker with spaces is not the marker") << "{\"dst\" : \"abc\"}" << false << "";
        QTest::newRow("escaped quotes") << "{\"dst\":\"a\\\"b\\\\\"}" << true << "a\\\"b\\\\";
        QTest::newRow("no closing quote") << "{\"dst\":\"abc" << false << "";
        QTest::newRow("ends in backslash") << "{\"dst\":\"abc\\" << false << "";
    }

    void firstSegment() {
        QFETCH(QString, body);
        QFETCH(bool, found);
        QFETCH(QString, segment);
        const std::optional<QString> result = TranslationService::firstSegment(body);
        QCOMPARE(result.has_value(), found);
        if (found)
            QCOMPARE(*result, segment);
    }
};

QTEST_MAIN(TestTranslation)
#include "tst_translation.moc"
