#include "app/ConfigStore.h"
#include "tests/support/MessageLog.h"
#include "tests/support/Rows.h"
#include "tests/support/TestDir.h"

#include <QProcess>
#include <QRegularExpression>
#include <QThread>
#include <QtTest>
#include <csignal>
#include <numeric>
#include <random>

using Repair = Rows<QByteArray, QString, QStringList>; // file content, Key=value checks, warnings

class TestConfigStore : public QObject {
    Q_OBJECT
private slots:
    void init() { m_dir.reset(new TestDir); }
    void cleanup() { m_dir.reset(); }

    void firstStartWritesDefaultsInTableOrder() {
        writeDefaultConfig();
        ConfigStore& store = ConfigStore::instance();
        store.reload();
        const QByteArray expected =
            "TypingModel=0\nIntelligenceModel=1\nTranslationModel=0\nTypingLanguage=0\n"
            "IntelligenceLanguage=0\nTranslationLanguage=0\nTranslationResultLanguage=1\n"
            "AutomaticUpdate=1\nReminderUpdate=0\nNotUpdate=0\nBootUp=0\nClosePrompt=0\n"
            "RemovePunctuation=0\nMonitorZorvelMouseConnect=0\nFirstOpen=0\nIsRecording=0\n";
        QCOMPARE(m_dir->read("config.txt"), expected);
        QCOMPARE(store.snapshot().size(), 16);
        QCOMPARE(int(store["IntelligenceModel"]), 1);
        QCOMPARE(int(store["TranslationResultLanguage"]), 1);
        QCOMPARE(int(store["AutomaticUpdate"]), 1);

        store["FirstOpen"] = 1;
        QVERIFY(store.save());
        const QByteArray saved = m_dir->read("config.txt");
        const QByteArray sorted =
            "AutomaticUpdate=1\nBootUp=0\nClosePrompt=0\nFirstOpen=1\nIntelligenceLanguage="
            "0\nIntelligenceModel=1\n"
            "IsRecording=0\nMonitorZorvelMouseConnect=0\nNotUpdate=0\nReminderUpdate=0\nRemovePunctuation=0\n"
            "TranslationLanguage=0\nTranslationModel=0\nTranslationResultLanguage=1\nTypingLanguage="
            "0\nTypingModel=0\n";
        QCOMPARE(saved, sorted);
    }

    // Start-up on an existing file: content without any of the 16 keys gets the defaults, no
    // mode flag at 1 gets intelligent mode; held keys keep their values and repairs are saved.
    void startupRepairs_data() {
        const Repair row;
        const QString defaults =
            "TypingModel=0 IntelligenceModel=1 TranslationResultLanguage=1 AutomaticUpdate=1";
        const QString noSettings = "Singleton mode, config file holds no settings, using the defaults !";
        const QString noMode = "Singleton mode, no working mode is set, using intelligent mode !";
        row("empty file", "", defaults, {noSettings});
        row("not a settings file", "\x89PNG\r\n\x1a\n\xff\xfe\nfoo bar\n", defaults, {noSettings});
        row("unknown keys kept", "Mystery=42\n", defaults + " Mystery=42", {noSettings});
        row("no mode flag at 1", "TypingModel=0\nIntelligenceModel=0\nTranslationModel=2\nBootUp=1\n",
            "IntelligenceModel=1 TranslationModel=2 BootUp=1 AutomaticUpdate=0", {noMode});
        row("a set mode is left alone", "BootUp=1\nTypingModel=1\n",
            "TypingModel=1 IntelligenceModel=0 BootUp=1", {});
    }
    void startupRepairs() {
        const auto [content, expected, warnings] = Repair::fetch();
        m_dir->write("config.txt", content);
        MessageLog log;
        writeDefaultConfig();
        QCOMPARE(log.warnings(), warnings);
        ConfigStore& store = ConfigStore::instance();
        for (int pass = 0; pass < 2; ++pass) {
            for (const QString& pair : expected.split(' '))
                QCOMPARE(int(store[pair.section('=', 0, 0)]), pair.section('=', 1).toInt());
            store.reload(); // the second pass checks what was saved
        }
        if (warnings.isEmpty())
            QCOMPARE(m_dir->read("config.txt"), content);
    }

    void parsesOddLines_data() {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("key");
        QTest::addColumn<int>("value");
        QTest::newRow("letters") << QByteArray("TypingModel=abc\n") << "TypingModel" << 0;
        QTest::newRow("second equals") << QByteArray("BootUp=1=2\n") << "BootUp" << 1;
        QTest::newRow("negative") << QByteArray("TypingLanguage=-3\n") << "TypingLanguage" << -3;
        QTest::newRow("last wins") << QByteArray("ClosePrompt=1\nClosePrompt=0\nClosePrompt=7\n")
                                   << "ClosePrompt" << 7;
        QTest::newRow("unknown key kept") << QByteArray("Mystery=42\n") << "Mystery" << 42;
        QTest::newRow("missing key reads 0") << QByteArray("BootUp=1\n") << "RemovePunctuation" << 0;
        QTest::newRow("key verbatim") << QByteArray(" BootUp=5\n") << " BootUp" << 5;
        QTest::newRow("empty value") << QByteArray("BootUp=\n") << "BootUp" << 0;
        QTest::newRow("overflow") << QByteArray("BootUp=99999999999\n") << "BootUp" << 0;
        QTest::newRow("crlf") << QByteArray("BootUp=1\r\nTypingModel=1\r\n") << "TypingModel" << 1;
        QTest::newRow("no final line end") << QByteArray("BootUp=1\nTypingModel=1") << "TypingModel" << 1;
    }
    void parsesOddLines() {
        QFETCH(QByteArray, content);
        QFETCH(QString, key);
        QFETCH(int, value);
        m_dir->write("config.txt", content);
        ConfigStore& store = ConfigStore::instance();
        store.reload();
        QCOMPARE(int(store[key]), value);
    }

    void lineWithoutEqualsIsSkipped() {
        m_dir->write("config.txt", "\nJunk\nBootUp=1\n");
        ConfigStore& store = ConfigStore::instance();
        store.reload();
        QCOMPARE(store.snapshot().keys(), QStringList{"BootUp"});
        QVERIFY(store.save());
        QCOMPARE(m_dir->read("config.txt"), QByteArray("BootUp=1\n"));
    }

    void saveWritesCreatedAndUnknownKeysOnce() {
        m_dir->write("config.txt", "Zeta=1\nBootUp=1\nBootUp=2\n");
        ConfigStore& store = ConfigStore::instance();
        store.reload();
        QCOMPARE(int(store["RemovePunctuation"]), 0); // created by reading
        QVERIFY(store.save());
        QCOMPARE(m_dir->read("config.txt"), QByteArray("BootUp=2\nRemovePunctuation=0\nZeta=1\n"));
    }

    void missingFileStartsEmptyAndWarns() {
        QTest::ignoreMessage(QtWarningMsg, "Singleton mode, open file failed !");
        ConfigStore::instance().reload();
        QVERIFY(ConfigStore::instance().snapshot().isEmpty());
    }

    void unwritableSaveKeepsOldFileAndValues() {
        // config.txt is a directory: nothing can replace it.
        QDir().mkdir(m_dir->file("config.txt"));
        ConfigStore& store = ConfigStore::instance();
        store["BootUp"] = 1;
        QTest::ignoreMessage(QtWarningMsg, "Singleton mode, unable to open file when saving file !");
        QVERIFY(!store.save());
        QCOMPARE(int(store["BootUp"]), 1);
    }

    void concurrentUseNeverLosesOrCorrupts() {
        ConfigStore& store = ConfigStore::instance();
        QList<QThread*> threads;
        for (int t = 0; t < 4; ++t) {
            threads << QThread::create([&store, t] {
                for (int i = 0; i < 300; ++i) {
                    store[QStringLiteral("T%1K%2").arg(t).arg(i % 20)] = i;
                    if (int(store[QStringLiteral("T%1K%2").arg(t).arg(i % 20)]) != i)
                        store[QStringLiteral("Broken")] = 1;
                    if (i % 10 == 0)
                        store.save();
                }
            });
        }
        for (QThread* th : threads)
            th->start();
        for (QThread* th : threads) {
            QVERIFY(th->wait(60000));
            delete th;
        }
        QVERIFY(store.save());
        const QStringList lines =
            QString::fromLatin1(m_dir->read("config.txt")).split('\n', Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), 80);
        const QRegularExpression form(QStringLiteral("^T[0-3]K\\d+=\\d+$"));
        for (const QString& line : lines)
            QVERIFY2(form.match(line).hasMatch(), qPrintable(line));
        store.reload();
        for (int t = 0; t < 4; ++t)
            for (int k = 0; k < 20; ++k)
                QCOMPARE(int(store[QStringLiteral("T%1K%2").arg(t).arg(k)]), 280 + k);
    }

    // Reading a missing key adds it to the map: reads on one thread while another saves must never
    // tear the map the save walks, so every saved file lists its keys once each, in order.
    void readsDuringSavesNeverTear() {
        ConfigStore& store = ConfigStore::instance();
        QVector<int> order(20000);
        std::iota(order.begin(), order.end(), 0);
        // Scattered over the key range, so inserts rebalance the whole tree the save walks.
        std::shuffle(order.begin(), order.end(), std::mt19937(1));
        QAtomicInt stop = 0;
        QAtomicInt reads = 0;
        QThread* reader = QThread::create([&] {
            for (int lap = 0; !stop.loadAcquire(); ++lap)
                for (int i = 0; i < order.size() && !stop.loadAcquire(); ++i) {
                    static_cast<void>(int(store[QStringLiteral("R%1.%2")
                                                    .arg(order[i], 5, 10, QLatin1Char('0'))
                                                    .arg(lap, 3, 10, QLatin1Char('0'))]));
                    reads.fetchAndAddRelaxed(1);
                }
        });
        reader->start();
        QString torn;
        for (int saves = 0; saves < 20 && torn.isEmpty(); ++saves) {
            QVERIFY(store.save());
            const QList<QByteArray> lines = m_dir->read("config.txt").split('\n');
            for (int i = 1; i + 1 < lines.size() && torn.isEmpty(); ++i)
                if (!(lines[i - 1] < lines[i]) || !lines[i].endsWith("=0"))
                    torn = QString::fromLatin1(lines[i - 1] + " / " + lines[i]);
        }
        stop = 1;
        QVERIFY(reader->wait(60000));
        delete reader;
        QVERIFY2(torn.isEmpty(), qPrintable(torn));
        QCOMPARE(store.snapshot().size(), int(reads));
    }

    void killedDuringSaveLeavesCompleteFile() {
        for (int attempt = 0; attempt < 5; ++attempt) {
            QProcess saver;
            saver.start(QCoreApplication::applicationDirPath() + "/config_saver", {m_dir->path()});
            QVERIFY(saver.waitForStarted());
            QVERIFY(saver.waitForReadyRead(20000));
            QTest::qWait(50 + attempt * 37);
            ::kill(static_cast<pid_t>(saver.processId()), SIGKILL);
            QVERIFY(saver.waitForFinished(5000));
            const QStringList lines = QString::fromLatin1(m_dir->read("config.txt")).split('\n');
            QCOMPARE(lines.size(), 2001); // 2000 lines and the empty rest after the last line end
            const QString round = lines.first().section('=', 1);
            for (int k = 0; k < 2000; ++k)
                QCOMPARE(lines.at(k), QStringLiteral("Key%1=%2").arg(k, 4, 10, QLatin1Char('0')).arg(round));
        }
    }

private:
    std::unique_ptr<TestDir> m_dir;
};

QTEST_GUILESS_MAIN(TestConfigStore)
#include "tst_configstore.moc"
