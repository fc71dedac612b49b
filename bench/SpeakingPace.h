#pragma once

#include "voice/TakeQueue.h"

#include <QElapsedTimer>
#include <QThread>

// Feeds a take's samples as the capture does while the user speaks: 50 ms (1600 bytes) every 50 ms,
// then lets the key go 50 ms after the last buffer (the caller closes the take).
inline void feedAtSpeakingPace(TakeQueue& queue, const TakeQueue::TakePtr& take, const QByteArray& samples) {
    QElapsedTimer pace;
    pace.start();
    for (int at = 0, n = 0; at < samples.size(); at += 1600, ++n) {
        const qint64 due = n * 50'000'000LL;
        if (pace.nsecsElapsed() < due)
            QThread::usleep(static_cast<unsigned long>((due - pace.nsecsElapsed()) / 1000));
        queue.append(take, samples.mid(at, 1600));
    }
    QThread::msleep(50);
}
