#include "app/ConfigStore.h"
#include "tests/support/MessageLog.h"
#include "tests/support/Rows.h"
#include "tests/support/TestDir.h"

#include <QProcess>
#include <QThread>
#include <QtTest>
#include <csignal>
#include <cstdio>
#include <numeric>
#include <random>

using Repair = Rows<QByteArray, QString, QStringList>; // file content, Key=value checks, warnings

// Run as "--save-forever <folder>", the test binary saves the store there over and over until it
// is killed, to show that a save cut short leaves a whole file behind.
[[noreturn]] static void saveForever(const char* folder) {
    QDir::setCurrent(QString::fromLocal8Bit(folder));
    ConfigStore& store = ConfigStore::instance();
    for (int round = 1;; ++round) {
        for (int k = 0; k < 2000; ++k)
            store[QStringLiteral("Key%1").arg(k, 4, 10, QLatin1Char('0'))] = round;
        store.save();
        if (round == 1) {
            std::puts("saved");
            std::fflush(stdout);
        }
    }
}

class TestConfigStore : public QObject {
    Q_OBJECT
private slots:
    void init() { m_dir.reset(new TestDir); }
    void cleanup() { m_dir.reset(); }

    // Start-up without a file writes the 16 defaults in table order. On an existing file: content
    // without any of the 16 keys gets the defaults, no mode flag at 1 gets intelligent mode; held
    // keys keep their values and repairs are saved.
    void startupRepairs_data() {
        const Repair row;
        const QString defaults =
            "TypingModel=0 IntelligenceModel=1 TranslationResultLanguage=1 AutomaticUpdate=1";
        const QString noSettings = "Singleton mode, config file holds no settings, using the defaults !";
        const QString noMode = "Singleton mode, no working mode is set, using intelligent mode !";
        row("no file", QByteArray(), defaults, {});
        row("empty file", "", defaults, {noSettings});
        row("unknown keys kept", "Mystery=42\n", defaults + " Mystery=42", {noSettings});
        row("no mode flag at 1", "TypingModel=0\nIntelligenceModel=0\nTranslationModel=2\nBootUp=1\n",
            "IntelligenceModel=1 TranslationModel=2 BootUp=1 AutomaticUpdate=0", {noMode});
        row("a set mode is left alone", "BootUp=1\nTypingModel=1\n",
            "TypingModel=1 IntelligenceModel=0 BootUp=1", {});
    }
    void startupRepairs() {
        const auto [content, expected, warnings] = Repair::fetch();
        if (!content.isNull())
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
        const QByteArray newFile =
            "TypingModel=0\nIntelligenceModel=1\nTranslationModel=0\nTypingLanguage=0\n"
            "IntelligenceLanguage=0\nTranslationLanguage=0\nTranslationResultLanguage=1\n"
            "AutomaticUpdate=1\nReminderUpdate=0\nNotUpdate=0\nBootUp=0\nClosePrompt=0\n"
            "RemovePunctuation=0\nMonitorZorvelMouseConnect=0\nFirstOpen=0\nIsRecording=0\n";
        if (warnings.isEmpty())
            QCOMPARE(m_dir->read("config.txt"), content.isNull() ? newFile : content);
    }

    // One thread reads missing keys, one assigns new ones (both insert), and it and this one save:
    // no access may tear the map, so every saved file lists its keys once each, in order, and no
    // key is lost.
    void concurrentUseNeverTearsOrLoses() {
        ConfigStore& store = ConfigStore::instance();
        QVector<int> order(20000);
        std::iota(order.begin(), order.end(), 0);
        // Scattered over the key range, so inserts rebalance the whole tree the save walks.
        std::shuffle(order.begin(), order.end(), std::mt19937(1));
        QAtomicInt stop = 0;
        QAtomicInt inserts = 0;
        QList<QThread*> threads;
        for (const char kind : {'R', 'W'})
            threads << QThread::create([&, kind] {
                for (int lap = 0; !stop.loadAcquire(); ++lap)
                    for (int i = 0; i < order.size() && !stop.loadAcquire(); ++i) {
                        const QString key = QStringLiteral("%1%2.%3")
                                                .arg(kind)
                                                .arg(order[i], 5, 10, QLatin1Char('0'))
                                                .arg(lap, 3, 10, QLatin1Char('0'));
                        if (kind == 'R')
                            static_cast<void>(int(store[key]));
                        else
                            store[key] = 0;
                        if (kind == 'W' && i % 1000 == 0)
                            store.save(); // saves from two threads at once
                        inserts.fetchAndAddRelaxed(1);
                    }
            });
        for (QThread* thread : threads)
            thread->start();
        QString torn;
        // No early return before the threads are stopped: a failure is noted and reported after.
        for (int saves = 0; saves < 60 && torn.isEmpty(); ++saves) {
            if (!store.save())
                torn = QStringLiteral("save failed");
            const QList<QByteArray> lines = m_dir->read("config.txt").split('\n');
            for (int i = 1; i + 1 < lines.size() && torn.isEmpty(); ++i)
                if (!(lines[i - 1] < lines[i]) || !lines[i].endsWith("=0"))
                    torn = QString::fromLatin1(lines[i - 1] + " / " + lines[i]);
        }
        stop = 1;
        for (QThread* thread : threads) {
            QVERIFY(thread->wait(60000));
            delete thread;
        }
        QVERIFY2(torn.isEmpty(), qPrintable(torn));
        QCOMPARE(store.snapshot().size(), int(inserts));
    }

    void killedDuringSaveLeavesCompleteFile() {
        for (int attempt = 0; attempt < 5; ++attempt) {
            QProcess saver;
            saver.start(QCoreApplication::applicationFilePath(), {"--save-forever", m_dir->path()});
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

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc == 3 && qstrcmp(argv[1], "--save-forever") == 0)
        saveForever(argv[2]);
    TestConfigStore test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_configstore.moc"
