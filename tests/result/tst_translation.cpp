#include "app/ConfigStore.h"
#include "platform/fake/FakeFocusTyping.h"
#include "platform/fake/FakeForegroundWindow.h"
#include "result/ResultDispatcher.h"
#include "result/TranslationService.h"
#include "tests/support/GzipBomb.h"
#include "tests/support/LoopbackHttpServer.h"
#include "tests/support/MessageLog.h"
#include "tests/support/PeakMemory.h"
#include "tests/support/Rows.h"
#include "tests/support/TestDir.h"

#include <QRegularExpression>
#include <QSignalSpy>
#include <QtTest>

// Text, RemovePunctuation, source and target language; then the request target (whole when it
// starts with '/', else a part of it), the log line (if given) and extra services.ini lines.
using Request = Rows<QString, int, int, int, QString, QString, QByteArray>;
// Status (-1: connection refused, -2: a 200 answer trickled out, -3: a 200 answer in gzip although
// identity was asked), body,
// bytes typed, the warning given (a part of it; empty: none).
using Reply = Rows<int, QByteArray, QByteArray, QString>;
using Escapes = Rows<QString, QString, bool>; // segment, text, warned

class TestTranslation : public QObject {
    Q_OBJECT

    std::unique_ptr<TestDir> m_dir;
    std::unique_ptr<LoopbackHttpServer> m_server;
    std::unique_ptr<ResultDispatcher> m_dispatcher;
    FakeFocusTyping* m_typing = nullptr;

    void makeDispatcher(const QByteArray& extraIni = QByteArray()) {
        m_dir->write("services.ini",
                     "[translation]\nhost=" + m_server->url().mid(7).toLatin1() + "\n" + extraIni);
        TestDir::reloadSettings();
        ConfigStore& store = ConfigStore::instance();
        store["TypingModel"] = 0;
        store["IntelligenceModel"] = 0;
        store["TranslationModel"] = 1;
        store["RemovePunctuation"] = 1;
        auto typing = std::make_unique<FakeFocusTyping>();
        m_typing = typing.get();
        m_dispatcher = std::make_unique<ResultDispatcher>(nullptr, std::move(typing),
                                                          std::make_unique<FakeForegroundWindow>());
    }
    QString path(int i) const { return QString::fromLatin1(m_server->requests.at(i).path); }

private slots:
    void init() {
        m_dir = std::make_unique<TestDir>();
        m_server = std::make_unique<LoopbackHttpServer>();
        QVERIFY(m_server->isListening());
        makeDispatcher();
    }
    void cleanup() {
        m_dispatcher.reset();
        m_server.reset();
        m_dir.reset();
    }

    void request_data() {
        const Request row;
        // Signatures computed with md5sum over id + query + salt + key.
        row("trimmed query, zh to en", "你好。", 1, 0, 1,
            "/api/trans/vip/translate?q=%E4%BD%A0%E5%A5%BD&from=zh&to=en&appid=48120937561023847"
            "&salt=6039185274&sign=51b170af475847c82599fe7d0db301d1",
            "翻译模式：你好。中文---->英语", "");
        row("credentials from services.ini, spaces", "你好 世界", 1, 1, 4,
            "/api/trans/vip/translate?q=%E4%BD%A0%E5%A5%BD%20%E4%B8%96%E7%95%8C&from=en&to=jp&appid=7id"
            "&salt=42&sign=0c16f0238ad6e36b3a845842031ea559",
            "翻译模式：你好 世界英语---->日语", "appid=7id\nsalt=42\nkey=k3y\n");
        row("reserved encoded, unreserved kept", "a+b&c=d/e?f#g%aZ09-._~", 0, 0, 1,
            "?q=a%2Bb%26c%3Dd%2Fe%3Ff%23g%25aZ09-._~&from=", "", "");
    }
    void request() {
        const auto [text, removePunctuation, source, target, fragment, line, ini] = Request::fetch();
        makeDispatcher(ini);
        ConfigStore::instance()["RemovePunctuation"] = removePunctuation;
        ConfigStore::instance()["TranslationLanguage"] = source;
        ConfigStore::instance()["TranslationResultLanguage"] = target;
        QSignalSpy lines(m_dispatcher.get(), &ResultDispatcher::activityReported);
        m_server->body = "{\"trans_result\":[{\"src\":\"x\",\"dst\":\"ok\"}]}";

        m_dispatcher->write(text);

        QCOMPARE(lines.size(), 1);
        if (!line.isEmpty())
            QCOMPARE(lines.at(0).at(0).toString(), line);
        QTRY_COMPARE(m_server->requests.size(), 1);
        QVERIFY2(fragment.startsWith('/') ? path(0) == fragment : path(0).contains(fragment),
                 qPrintable(path(0)));
        QTRY_COMPARE(m_typing->posted, QByteArray("ok"));
        QCOMPARE(m_dispatcher->pendingTranslations(), 0);
    }

    void replies_data() {
        const Reply row;
        const QByteArray nihao = QByteArray::fromHex("c4e3bac3");
        const QByteArray longest(4096, 'a');
        row("escapes 4F60 597D", 200,
            R"({"from":"en","to":"zh","trans_result":[{"src":"hello","dst":"\u4f60\u597d"}]})", nihao, "");
        row("longest translation", 200, "{\"dst\":\"" + longest + "\"}", longest, "");
        row("HTTP error page with a translation", 500, R"({"dst":"ok"})", "",
            "HTTP status 500, nothing typed");
        row("service error answer", 200, R"({"error_code":"54001","error_msg":"Invalid Sign"})", "",
            "reply holds no translation");
        row("connection refused", -1, "", "", "no answer from the service");
        row("trickling answer: deadline", -2, "{\"dst\":\"" + QByteArray(40, 'x') + "\"}", "",
            "no complete reply within 300 ms");
        row("reply over 64 KiB", 200, "{\"dst\":\"ok\",\"pad\":\"" + QByteArray(64 * 1024, ' ') + "\"}", "",
            "reply larger than 65536 bytes refused");
        row("gzip bomb", -3, gzipBomb(256 << 20), "", "reply larger than 65536 bytes refused");
        row("translation over 4096 characters", 200, "{\"dst\":\"" + longest + "b\"}", "",
            "translation of 4097 characters refused");
    }
    void replies() {
        const auto [status, body, typed, warning] = Reply::fetch();
        m_server->status = status < 0 ? 200 : status;
        m_server->body = body;
        if (status == -1)
            m_server->close();
        if (status == -2) {
            makeDispatcher("timeout_ms=300\n");
            m_server->mode = LoopbackHttpServer::Trickle;
        }
        if (status == -3)
            m_server->mode = LoopbackHttpServer::Gzip;
        QVERIFY(PeakMemory::reset());
        const qint64 before = PeakMemory::read("VmRSS");
        MessageLog log;
        m_dispatcher->write("hello");
        QTRY_COMPARE_WITH_TIMEOUT(m_dispatcher->pendingTranslations(), 0, 10000);
        // Whatever the reply, memory never holds more than the cap (64 KiB) and Qt's own buffers.
        QVERIFY2(PeakMemory::read("VmHWM") - before < 32 << 20,
                 qPrintable(QString::number(PeakMemory::read("VmHWM") - before)));
        if (status != -1)
            QCOMPARE(m_server->last().header("Accept-Encoding"), QByteArray("identity"));
        QCOMPARE(m_typing->posted.toHex(' '), typed.toHex(' '));
        const QStringList warnings = log.warnings().filter("Translation , ");
        QCOMPARE(warnings.size(), warning.isEmpty() ? 0 : 1);
        if (!warning.isEmpty())
            QVERIFY2(warnings.first().contains(warning), qPrintable(warnings.first()));
    }

    void destroyedWithRequestOutstanding() {
        m_server->mode = LoopbackHttpServer::Hold;
        m_dispatcher->write("one");
        QTRY_COMPARE(m_server->held.size(), 1);
        m_dispatcher.reset();
        LoopbackHttpServer::answer(m_server->held.first(), 200, "{\"dst\":\"1\"}");
        QTest::qWait(100);
    }

    void decodeEscapes_data() {
        const Escapes row;
        const QString bad = QChar(QChar::ReplacementCharacter);
        row("surrogate pair is one character", "x\\ud83d\\ude00y", QString::fromUcs4(U"x\U0001F600y"), false);
        row("lone high surrogate", "\\ud83dz", bad + "z", true);
    }
    void decodeEscapes() {
        const auto [segment, text, warned] = Escapes::fetch();
        if (warned)
            QTest::ignoreMessage(QtWarningMsg, QRegularExpression("^Translation , .*escape"));
        QCOMPARE(TranslationService::decodeEscapes(segment), text);
    }
};

QTEST_MAIN(TestTranslation)
#include "tst_translation.moc"
