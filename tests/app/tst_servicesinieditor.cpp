#include "app/ServicesConfig.h"
#include "app/ServicesIniEditor.h"
#include "app/SpeechEngineSettings.h"
#include "tests/support/Rows.h"
#include "tests/support/TestDir.h"

#include <QtTest>

class TestServicesIniEditor : public QObject {
    Q_OBJECT
private slots:
    // Only the [speech] keys change; comments, blank lines, other sections and their keys (even
    // one with the same name) keep their bytes.
    void editsOnlyTheSectionKeys_data() {
        const Rows<QByteArray, QByteArray> row;
        row("keys replaced in place, comments and other sections kept",
            "; head\n[speech]\n;url=\nengine = offline\nextra=1 ; mine\n\n[sites]\nurl=x\n",
            "; head\n[speech]\n;url=\nengine=http\nextra=1 ; mine\nurl=http://127.0.0.1:8080/asr\n\n"
            "[sites]\nurl=x\n");
        row("missing section appended", "[sites]\nurl=x",
            "[sites]\nurl=x\n\n[speech]\nengine=http\n"
            "url=http://127.0.0.1:8080/asr\n");
        row("CR LF kept, section at the end without a final line end", "; c\r\n[ speech ]\r\nkey=k",
            "; c\r\n[ speech ]\r\nkey=k\r\nengine=http\r\nurl=http://127.0.0.1:8080/asr\r\n");
    }
    void editsOnlyTheSectionKeys() {
        const auto [before, after] = Rows<QByteArray, QByteArray>::fetch();
        QCOMPARE(ServicesIniEditor::withKeys(before, "speech",
                                             {{"engine", "http"}, {"url", "http://127.0.0.1:8080/asr"}}),
                 after);
    }

    // A file that cannot be written is reported and the values hold for this run; what the program
    // reads back is what was saved, also for values with list commas, comment signs, quotes and
    // line breaks.
    void savesAndReadsBack() {
        TestDir dir;
        SpeechEngineSettings s;
        s.engine = SpeechEngineSettings::Server;
        s.url = "http://127.0.0.1:1/a,b";
        s.key = " k;e\"y\\1=\n";
        s.model = "m#1";
        QString error;
        QVERIFY(QDir().mkdir(dir.file("services.ini"))); // a folder where the file should be
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("services.ini could not be written"));
        QVERIFY(!s.save(dir.file("services.ini"), &error));
        QVERIFY(SpeechEngineSettings::fromServicesConfig().usesServer());
        QCOMPARE(ServicesConfig::instance().text("speech/url", {}), s.url);

        QVERIFY(QDir().rmdir(dir.file("services.ini")));
        QVERIFY2(s.save(dir.file("services.ini"), &error), qPrintable(error));
        TestDir::reloadSettings();
        const SpeechEngineSettings read = SpeechEngineSettings::fromServicesConfig();
        QCOMPARE(read.engine, SpeechEngineSettings::Server);
        QCOMPARE(read.url, s.url);
        QCOMPARE(read.key, QString("k;e\"y\\1="));
        QCOMPARE(read.model, s.model);
    }
};

QTEST_MAIN(TestServicesIniEditor)
#include "tst_servicesinieditor.moc"
