#include "app/LogHandler.h"
#include "tests/support/Rows.h"
#include "tests/support/TestDir.h"

#include <QDateTime>
#include <QDir>
#include <QLocale>
#include <QTextCodec>
#include <QThread>
#include <QtTest>

namespace {
// A locale codec that, while the handler encodes a line, raises a message
// straight into the handler (bypassing Qt's own diversion of messages logged
// from inside a handler).
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

    // The prefix of each kind; Qt's warning about a running thread's end is
    // logged as an empty line.
    void lineFormat_data() {
        const Rows<int, QString, QString> row; // type, message, line ("%1": the date)
        const QString open = "Singleton mode, open file failed !";
        row("debug", QtDebugMsg, open, "INFO: %1 " + open);
        row("warning", QtWarningMsg, open, "ERRO: %1 " + open);
        row("thread warning", QtWarningMsg, "QThread: Destroyed while thread is still running", "");
    }
    void lineFormat() {
        const auto [type, message, line] = Rows<int, QString, QString>::fetch();
        const QDateTime when(QDate(2017, 5, 16), QTime(9, 30, 12));
        const QString day = QLocale::system().dayName(2, QLocale::ShortFormat);
        QCOMPARE(formatLogLine(QtMsgType(type), when, message),
                 QString(line).replace("%1", "(2017-05-16 09:30:12 " + day + ")"));
    }

    // A message raised while the handler writes is dropped: no deadlock on the
    // write lock, no line inside the line being written.
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
