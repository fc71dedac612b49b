#pragma once

#include "voice/speech/SpeechService.h"

#include <QList>
#include <QMutex>
#include <QMutexLocker>
#include <QSet>
#include <QThread>

// A speech engine that follows a script and records every call, for tests and benchmarks.
// Sessions are numbered from 7 in the order they begin. Data writes set the recognition status
// from writeRecognition (default: pending), the closing write sets it to "result ready"; getResult
// hands out the queued replies in order and, when none are left, reports the result complete with
// no fragment.
class ScriptedSpeechService : public SpeechService {
public:
    struct Write {
        int length, status;
        bool operator==(const Write& o) const { return length == o.length && status == o.status; }
    };
    struct Reply {
        QByteArray fragment;
        int recognitionStatus, errorCode;
    };

    // Script.
    int beginError = 0;
    int failWriteAt = -1;           // index of the audioWrite call (closing write included) that fails
    QList<int> writeRecognition;    // recognition status after data write i (default pending)
    QList<Reply> replies;           // getResult replies in order
    QSet<int> failingSessions;      // sessions whose closing write fails
    unsigned long loginDelayMs = 0; // time the login takes
    unsigned long closeDelayMs = 0; // time the closing write takes (the decode after release)
    QByteArray partialWords;        // the words so far, while the key is held
    unsigned long partialMs = 0;    // time finding them takes
    int languages = 0x1f;           // bit i: language index i is recognised

    // Record.
    mutable QMutex mutex;
    QList<QByteArray> calls;
    QList<Write> writes;
    QByteArray audio;
    QByteArray beginParams;
    QList<Session> endedSessions;
    Session nextSession = 7;
    QAtomicInt partialsAsked = 0;

    QList<QByteArray> callList() const {
        QMutexLocker lock(&mutex);
        return calls;
    }
    QList<Write> writeList() const {
        QMutexLocker lock(&mutex);
        return writes;
    }

    int login(const QByteArray&, const QByteArray&, const QByteArray&) override {
        if (loginDelayMs)
            QThread::msleep(loginDelayMs);
        QMutexLocker lock(&mutex);
        record("login");
        return 0;
    }
    int logout() override {
        QMutexLocker lock(&mutex);
        record("logout");
        return 0;
    }
    void uploadData(const QByteArray&, const QByteArray&, const QByteArray&, int* errorCode) override {
        QMutexLocker lock(&mutex);
        record("upload");
        *errorCode = 0;
    }
    Session sessionBegin(const QByteArray&, const QByteArray& params, int* errorCode) override {
        QMutexLocker lock(&mutex);
        record("begin");
        beginParams = params;
        *errorCode = beginError;
        return beginError == 0 ? nextSession++ : NoSession;
    }
    int audioWrite(Session session, const char* data, int length, int audioStatus, int*,
                   int* recognitionStatus) override {
        if (audioStatus == AudioLast && closeDelayMs)
            QThread::msleep(closeDelayMs);
        QMutexLocker lock(&mutex);
        record(audioStatus == AudioLast ? "close" : "write");
        const int index = writes.size();
        writes << Write{length, audioStatus};
        if (data)
            audio.append(data, length);
        if (index == failWriteAt || (audioStatus == AudioLast && failingSessions.contains(session)))
            return 10114;
        if (audioStatus == AudioLast) {
            *recognitionStatus = ResultReady;
        } else {
            *recognitionStatus = index < writeRecognition.size() ? writeRecognition.at(index) : ResultPending;
        }
        return 0;
    }
    QByteArray getResult(Session, int* recognitionStatus, int, int* errorCode) override {
        QMutexLocker lock(&mutex);
        record("result");
        const Reply reply = replies.isEmpty() ? Reply{{}, ResultComplete, 0} : replies.takeFirst();
        *recognitionStatus = reply.recognitionStatus;
        *errorCode = reply.errorCode;
        return reply.fragment;
    }
    int sessionEnd(Session session, const QByteArray&) override {
        QMutexLocker lock(&mutex);
        record("end");
        endedSessions << session;
        return 0;
    }
    QByteArray partialResult(Session) override {
        ++partialsAsked;
        if (partialMs)
            QThread::msleep(partialMs);
        return partialWords;
    }
    bool canRecognise(int languageIndex) const override {
        return languageIndex >= 0 && languageIndex < 5 && (languages >> languageIndex & 1);
    }

private:
    void record(const QByteArray& call) { calls << call; }
};
