#pragma once

#include <QMutex>
#include <QMutexLocker>
#include <QStringList>
#include <QtGlobal>

// Collects the warnings logged while it exists (from any thread), so a test can compare them.
class MessageLog {
public:
    MessageLog() {
        s_current = this;
        m_previous = qInstallMessageHandler(&MessageLog::handler);
    }
    ~MessageLog() {
        qInstallMessageHandler(m_previous);
        s_current = nullptr;
    }
    QStringList warnings() const {
        QMutexLocker lock(&m_mutex);
        return m_warnings;
    }
    bool contains(const QString& text) const {
        QMutexLocker lock(&m_mutex);
        for (const QString& w : m_warnings) {
            if (w.contains(text))
                return true;
        }
        return false;
    }
    void clear() {
        QMutexLocker lock(&m_mutex);
        m_warnings.clear();
    }

private:
    static void handler(QtMsgType type, const QMessageLogContext&, const QString& message) {
        if (type != QtWarningMsg || !s_current)
            return;
        QMutexLocker lock(&s_current->m_mutex);
        s_current->m_warnings << message;
    }
    static inline MessageLog* s_current = nullptr;
    QtMessageHandler m_previous = nullptr;
    mutable QMutex m_mutex;
    QStringList m_warnings;
};
