#include "app/LogHandler.h"
#include "tests/support/TestDir.h"

#include <QDateTime>
#include <QDir>
#include <QLocale>
#include <QTextCodec>
#include <QThread>
#include <QtTest>

namespace {
// A locale codec that, while the handler encodes a line, raises a message straight into the
// handler (bypassing Qt's own diversion of messages logged from inside a handler).
class ReenteringCodec : public QTextCodec {
public:
    mutable int reentered = 0;
    QByteArray name() const override { return "x-reentering"; }
    int mibEnum() const override { return 3999; }

protected:
    QString convertToUnicode(const char* in, int length, ConverterState*) const override {
        return QString::fromUtf8(in, length);
    }
    QByteArray convertFromUnicode(const QChar* in, int length, ConverterState*) const override {
        if (reentered++ == 0)
            logMessageHandler(QtWarningMsg, QMessageLogContext(), QStringLiteral("raised while writing"));
        return QString(in, length).toUtf8();
    }
};
} // namespace

class TestLogHandler : public QObject {
    Q_OBJECT
private slots:
    void init() {
        m_dir.reset(new TestDir);
        QDir().mkdir("logs");
        setLogFileName("./logs/run.log");
        qInstallMessageHandler(logMessageHandler);
    }
    void cleanup() {
        qInstallMessageHandler(nullptr);
        setLogFileName(QString());
        m_dir.reset();
    }

    void lineFormat_data() {
        QTest::addColumn<int>("type");
        QTest::addColumn<QString>("prefix");
        QTest::newRow("debug") << int(QtDebugMsg) << "INFO:";
        QTest::newRow("warning") << int(QtWarningMsg) << "ERRO:";
        QTest::newRow("critical") << int(QtCriticalMsg) << "CRIT:";
        QTest::newRow("info") << int(QtInfoMsg) << "";
    }
    void lineFormat() {
        QFETCH(int, type);
        QFETCH(QString, prefix);
        const QDateTime when(QDate(2017, 5, 16), QTime(9, 30, 12));
        const QString day = QLocale::system().dayName(2, QLocale::ShortFormat);
        QCOMPARE(formatLogLine(QtMsgType(type), when, "Singleton mode, open file failed !"),
                 prefix + " (2017-05-16 09:30:12 " + day + ") Singleton mode, open file failed !");
    }

    void writesQuotedStringObjectsAndCrLf() {
        qDebug() << QStringLiteral("主程序启动");
        qWarning("Singleton mode, open file failed !");
        const QString text = QString::fromUtf8(m_dir->read("logs/run.log"));
        const QStringList lines = text.split("\r\n");
        QCOMPARE(lines.size(), 3);
        QVERIFY2(lines[0].startsWith("INFO: (") && lines[0].endsWith(") \"主程序启动\""),
                 qPrintable(lines[0]));
        QVERIFY2(lines[1].startsWith("ERRO: (") && lines[1].endsWith(") Singleton mode, open file failed !"),
                 qPrintable(lines[1]));
        QVERIFY(lines[2].isEmpty());
        QVERIFY(!text.contains(QRegularExpression("[^\r]\n")));
    }

    void threadWarningBecomesEmptyLine() {
        qWarning("QThread: Destroyed while thread is still running");
        QCOMPARE(m_dir->read("logs/run.log"), QByteArray("\r\n"));
    }

    void appendsAcrossMessages() {
        m_dir->write("logs/run.log", "old\r\n");
        qDebug("x");
        QVERIFY(m_dir->read("logs/run.log").startsWith("old\r\nINFO: ("));
    }

    void dropsLinesWithoutFileNameOrWritableDirectory() {
        setLogFileName(QString());
        qDebug("lost");
        setLogFileName("./missing-dir/run.log");
        qWarning("also lost");
        QVERIFY(!QFile::exists("missing-dir/run.log"));
        QVERIFY(!QFile::exists("logs/run.log"));
        setLogFileName("./logs/run.log");
        qDebug("kept");
        QVERIFY(m_dir->read("logs/run.log").contains("kept"));
    }

    void runsInDifferentSecondsGetDifferentFiles() {
        const QDateTime a(QDate(2026, 12, 6), QTime(8, 0, 1));
        QCOMPARE(logFileNameFor(a), QString("./logs/20261206080001.log"));
        QVERIFY(logFileNameFor(a) != logFileNameFor(a.addSecs(1)));
    }

    void concurrentLinesNeverInterleave() {
        const QString longText(300, QLatin1Char('x'));
        QList<QThread*> threads;
        for (int t = 0; t < 4; ++t)
            threads << QThread::create([t, longText] {
                for (int i = 0; i < 200; ++i)
                    qDebug("T%d %s", t, qPrintable(longText));
            });
        for (QThread* th : threads)
            th->start();
        for (QThread* th : threads) {
            QVERIFY(th->wait(60000));
            delete th;
        }
        const QStringList lines =
            QString::fromUtf8(m_dir->read("logs/run.log")).split("\r\n", Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), 800);
        const QRegularExpression whole("^INFO: \\([^)]*\\) T[0-3] x{300}$");
        for (const QString& line : lines)
            QVERIFY2(whole.match(line).hasMatch(), qPrintable(line.left(80)));
    }

    // A message raised while the handler writes is dropped: no deadlock on the write lock, no
    // line inside the line being written.
    void messageRaisedWhileWritingIsDropped() {
        static auto* codec = new ReenteringCodec; // codecs stay registered until exit
        QTextCodec* previous = QTextCodec::codecForLocale();
        QTextCodec::setCodecForLocale(codec);
        QThread* writer = QThread::create([] { qWarning("outer"); });
        writer->start();
        const bool finished = writer->wait(10000);
        QTextCodec::setCodecForLocale(previous);
        QVERIFY2(finished, "the handler deadlocked on a message raised while writing");
        delete writer;
        QVERIFY(codec->reentered > 0);
        const QStringList lines = QString::fromUtf8(m_dir->read("logs/run.log")).split("\r\n");
        QCOMPARE(lines.size(), 2);
        QVERIFY2(lines[0].startsWith("ERRO: (") && lines[0].endsWith(") outer"), qPrintable(lines[0]));
    }

private:
    std::unique_ptr<TestDir> m_dir;
};

QTEST_GUILESS_MAIN(TestLogHandler)
#include "tst_loghandler.moc"
