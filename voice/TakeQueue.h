#pragma once

#include "voice/Take.h"

#include <QByteArray>
#include <QMutex>
#include <QWaitCondition>
#include <deque>
#include <functional>
#include <memory>

class ConfigStore;

// The takes between the side key and the recognition thread, in the order they were begun. The
// side-key thread begins a take at the press, adds captured samples while the key is held and
// closes (or cancels) it at the release; the recognition thread sleeps until there is something
// to do, works the takes front to back and finishes each. Several takes may be waiting at once.
//
// It also keeps the visible flag IsRecording in "config.txt": 1 from the release of a take until
// the text of the last released take is out, 0 when none is waiting.
class TakeQueue {
public:
    using TakePtr = std::shared_ptr<Take>;

    // What the recognition thread gets from a take at a time.
    struct Portion {
        QByteArray samples;
        bool closed = false;
        bool cancelled = false;
        bool stopping = false; // stop() was called
    };

    // Session parameter rows by language index: Mandarin, English, Cantonese, Sichuanese, Henanese.
    static const char* const sessionRows[5];
    // The language of the active mode, checked in the order typing, intelligent, translation (a
    // later active mode overriding an earlier one); previous when none gives an index in range.
    static int chooseLanguage(ConfigStore& store, int previous);

    // Producer side (side-key thread).
    TakePtr begin();
    void append(const TakePtr& take, const QByteArray& samples);
    void close(const TakePtr& take);
    void cancel(const TakePtr& take);
    // A take whose samples are all known already (a recording left by an earlier run).
    TakePtr addClosed(const QByteArray& samples);

    // Consumer side (recognition thread). Waits until a take is queued, or stop() or wake() was
    // called; the front take or none.
    TakePtr waitForFront();
    // Waits until the take has new samples, is closed or cancelled, or stop() was called; hands
    // over the new samples.
    Portion waitForSamples(const TakePtr& take);
    // Takes the take off the queue; IsRecording goes to 0 when no released take is left. True when
    // no take was begun after this one (its "record.wav" is the current one); ifLatest then runs
    // before any other take can begin.
    bool finish(const TakePtr& take, const std::function<void()>& ifLatest = {});
    // IsRecording back to 0 unless a released take is waiting.
    void lowerFlagIfIdle();

    void stop();
    bool stopRequested() const;
    // Ends a waitForFront() early (other work for the consumer).
    void wake();

    enum class State { Held, Released, Cancelled };
    State state(const TakePtr& take) const;
    // Runs report under the queue's lock if the key of the take is still held; false otherwise.
    // Whatever the side key does after the release (closing the take's window, opening the next
    // take's) is then told after the report, never before it.
    bool whileHeld(const TakePtr& take, const std::function<void()>& report);

    int size() const;
    // Session parameters of the latest take (the Mandarin row before the first).
    QByteArray sessionParams() const;
    // How often a wait of the consumer ended (for the idle figures).
    qint64 wakeUps() const;

private:
    TakePtr push(const QByteArray& samples, bool closed);
    void raiseFlag();
    void lowerFlagLocked();

    mutable QMutex m_mutex;
    QWaitCondition m_changed;
    std::deque<TakePtr> m_takes;
    int m_nextId = 1;
    int m_latestId = 0;
    int m_language = 0;
    bool m_stop = false;
    bool m_woken = false;
    qint64 m_wakeUps = 0;
};
