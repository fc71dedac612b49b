#pragma once

#include <QByteArray>

// One utterance: from the side-key press to the text. It carries the session parameters chosen at
// the press (a mode or language change while it waits does not alter it) and the captured samples
// that the recognition thread has not taken yet. Its state changes only through TakeQueue, under
// the queue's lock.
class Take {
public:
    Take(int id, const QByteArray& sessionParams, int languageIndex)
        : m_id(id), m_sessionParams(sessionParams), m_languageIndex(languageIndex) {}

    int id() const { return m_id; }
    const QByteArray& sessionParams() const { return m_sessionParams; }
    // The recognition language (0 Mandarin … 4 Henanese) the parameters were chosen for.
    int languageIndex() const { return m_languageIndex; }

private:
    friend class TakeQueue;
    const int m_id;
    const QByteArray m_sessionParams;
    const int m_languageIndex;
    QByteArray m_samples; // 16 kHz mono 16-bit samples not yet taken by the recognition thread
    qint64 m_totalBytes = 0;
    bool m_closed = false;    // the key was released: no more samples follow
    bool m_cancelled = false; // too short a press: nothing is to come of it
};
