#pragma once

#include <QElapsedTimer>

struct _XDisplay;

// Follows, with the X RECORD extension, when the client owning a window fetches the keyboard map
// after our own changes to it. A client that has fetched the map after a change decodes every
// key press it receives from then on with that map, so the next change cannot reach those
// presses any more.
class KeymapFetchWatch {
public:
    KeymapFetchWatch() = default;
    ~KeymapFetchWatch();
    KeymapFetchWatch(const KeymapFetchWatch&) = delete;
    KeymapFetchWatch& operator=(const KeymapFetchWatch&) = delete;

    // Starts watching the client of `window` and our own connection `own` (whose keymap
    // changes mark the points to wait for). False when RECORD is missing or the window gone.
    bool start(_XDisplay* own, unsigned long window, int xkbOpcode);
    void stop();
    bool active() const { return m_context != 0; }
    unsigned long window() const { return m_window; }

    // Call after each keymap change of ours has been processed by the server.
    void changed() { ++m_applied; }
    // Waits until the client has read the map as often as a change makes it do, and then not
    // again for a moment; false when it has not read it at all within timeoutMs.
    bool waitFetched(int timeoutMs);

    // Quiet time after the reads of the first change (which tells how many reads a change
    // brings) and after those of later changes; the quiet time after which fewer reads than
    // that are taken as all.
    static const int kLearnQuietMs = 100;
    static const int kQuietMs = 10;
    static const int kShortfallMs = 200;

private:
    static void intercept(char* closure, void* data);
    void readRecords(int timeoutMs);

    _XDisplay* m_own = nullptr;
    _XDisplay* m_data = nullptr;
    unsigned long m_context = 0;
    unsigned long m_ownXid = 0;
    unsigned long m_window = 0;
    unsigned long m_ownBase = 0;    // client part of our resource ids
    unsigned long m_windowBase = 0; // client part of the watched client's resource ids
    int m_xkbOpcode = 0;
    long m_applied = 0;         // our changes applied
    long m_changesSeen = 0;     // our changes seen in the request stream
    long m_fetchedAfter = -1;   // changes seen before the client's latest fetch
    qint64 m_lastFetch = -1;    // on m_clock
    int m_fetchesPerChange = 0; // 0: not known yet
    int m_fetchesSinceChange = 0;
    QElapsedTimer m_clock;
};
