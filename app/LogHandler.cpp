#include "app/LogHandler.h"

#include <QDateTime>
#include <QFile>
#include <QMutex>
#include <QMutexLocker>
#include <QTextCodec>
#include <QTextStream>

namespace {

QString& fileNameStorage() {
    static QString name;
    return name;
}

QMutex& fileNameMutex() {
    static QMutex mutex;
    return mutex;
}

// True while this thread is inside the handler: a message raised by the file or stream layer
// during a write is dropped instead of re-entering the (non-recursive) write mutex.
thread_local bool t_inHandler = false;

QTextCodec* logCodec() {
    // The system's 8-bit encoding; a plain ASCII/Latin-1 locale (a bare "C" environment) could not
    // hold the Chinese lines, so UTF-8 stands in for it.
    QTextCodec* codec = QTextCodec::codecForLocale();
    const int mib = codec ? codec->mibEnum() : 0;
    if (!codec || mib == 3 /* US-ASCII */ || mib == 4 /* ISO-8859-1 */)
        codec = QTextCodec::codecForName("UTF-8");
    return codec;
}

const char* prefixFor(QtMsgType type) {
    switch (type) {
    case QtDebugMsg:
        return "INFO:";
    case QtWarningMsg:
        return "ERRO:";
    case QtCriticalMsg:
        return "CRIT:";
    case QtFatalMsg:
        return "FATA:";
    default:
        return "";
    }
}

} // namespace

void setLogFileName(const QString& name) {
    QMutexLocker lock(&fileNameMutex());
    fileNameStorage() = name;
}

QString logFileName() {
    QMutexLocker lock(&fileNameMutex());
    return fileNameStorage();
}

QString logFileNameFor(const QDateTime& start) {
    return QStringLiteral("./logs/") + start.toString(QStringLiteral("yyyyMMddhhmmss")) +
           QStringLiteral(".log");
}

QString formatLogLine(QtMsgType type, const QDateTime& when, const QString& message) {
    if (message == QLatin1String("QThread: Destroyed while thread is still running"))
        return QString();
    const QString date =
        QLatin1Char('(') + when.toString(QStringLiteral("yyyy-MM-dd hh:mm:ss ddd")) + QLatin1Char(')');
    return QStringLiteral("%1 %2 %3").arg(QLatin1String(prefixFor(type)), date, message);
}

void logMessageHandler(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    Q_UNUSED(context);
    if (t_inHandler)
        return;
    t_inHandler = true;
    {
        static QMutex writeMutex;
        QMutexLocker lock(&writeMutex);
        const QString name = logFileName();
        if (!name.isEmpty()) {
            const QString line = formatLogLine(type, QDateTime::currentDateTime(), message);
            QFile file(name);
            if (file.open(QIODevice::WriteOnly | QIODevice::Append)) {
                QTextStream out(&file);
                out.setCodec(logCodec());
                out << line << "\r\n";
                out.flush();
                file.close();
            }
        }
    }
    t_inHandler = false;
}
