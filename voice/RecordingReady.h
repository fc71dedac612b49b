#pragma once

#include <QMutex>
#include <QWaitCondition>

// Wakes the recognition thread as soon as the side-key thread has flagged a finished recording,
// so it need not wait for its next poll. The poll stays the fallback; a wake-up may be spurious.
class RecordingReady {
public:
    // Called after IsRecording has been set to 1 and saved.
    static void notify();
    // Waits at most timeoutMs for a notify(); true when one came (also one that came before the
    // wait began and was not yet consumed).
    static bool wait(unsigned long timeoutMs);

private:
    static QMutex s_mutex;
    static QWaitCondition s_condition;
    static bool s_pending;
};
