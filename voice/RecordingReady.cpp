#include "voice/RecordingReady.h"

#include <QMutexLocker>

QMutex RecordingReady::s_mutex;
QWaitCondition RecordingReady::s_condition;
bool RecordingReady::s_pending = false;

void RecordingReady::notify() {
    QMutexLocker lock(&s_mutex);
    s_pending = true;
    s_condition.wakeAll();
}

bool RecordingReady::wait(unsigned long timeoutMs) {
    QMutexLocker lock(&s_mutex);
    if (!s_pending)
        s_condition.wait(&s_mutex, timeoutMs);
    const bool woken = s_pending;
    s_pending = false;
    return woken;
}
