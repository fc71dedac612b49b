#pragma once

#include <QMutex>
#include <QMutexLocker>
#include <QStringList>
#include <QtGlobal>

// Collects the messages the code under test logs (from any thread), for the duration of one object.
class MessageLog {
public:
    MessageLog() {
        instance() = this;
        m_previous = qInstallMessageHandler(&MessageLog::handler);
    }
    ~MessageLog() {
        qInstallMessageHandler(m_previous);
        instance() = nullptr;
    }

    QStringList lines(QtMsgType type) const {
        QMutexLocker lock(&m_mutex);
        QStringList out;
        for (const auto& entry : m_entries)
            if (entry.first == type)
                out << entry.second;
        return out;
    }
    QStringList debugLines() const { return lines(QtDebugMsg); }
    QStringList warnings() const { return lines(QtWarningMsg); }
    // Whether a warning contains the text.
    bool contains(const QString& text) const {
        for (const QString& w : warnings())
            if (w.contains(text))
                return true;
        return false;
    }
    void clear() {
        QMutexLocker lock(&m_mutex);
        m_entries.clear();
    }

private:
    static MessageLog*& instance() {
        static MessageLog* log = nullptr;
        return log;
    }
    static void handler(QtMsgType type, const QMessageLogContext&, const QString& message) {
        if (MessageLog* log = instance()) {
            QMutexLocker lock(&log->m_mutex);
            log->m_entries.append(qMakePair(type, message));
        }
    }

    mutable QMutex m_mutex;
    QList<QPair<QtMsgType, QString>> m_entries;
    QtMessageHandler m_previous = nullptr;
};
