#pragma once

#include "voice/speech/SpeechService.h"

#include <QList>
#include <QMutex>
#include <QMutexLocker>
#include <QThread>

// A speech engine that follows a script and records every call, for tests and benchmarks.
// Data writes set the recognition status from writeRecognition (default: pending), the closing
// write sets it to "result ready"; getResult hands out the queued replies in order and, when
// none are left, reports the result complete with no fragment.
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
    int loginResult = 0, uploadError = 0, beginError = 0;
    int failWriteAt = -1;           // index of the audioWrite call (closing write included) that fails
    int endpointAfterWrite = -1;    // data write after which the endpoint status is 3
    QList<int> writeRecognition;    // recognition status after data write i (default pending)
    QList<Reply> replies;           // getResult replies in order
    unsigned long writeDelayMs = 0; // time each audioWrite takes

    // Record.
    mutable QMutex mutex;
    QList<QByteArray> calls;
    QList<Write> writes;
    QByteArray audio;
    QByteArray uploadName, uploaded, uploadParams, loginParams, beginParams;
    QList<Session> endedSessions;
    int* logoutSink = nullptr; // counts logouts beyond the fake's own life

    QList<QByteArray> callList() const {
        QMutexLocker lock(&mutex);
        return calls;
    }

    int login(const QByteArray&, const QByteArray&, const QByteArray& params) override {
        QMutexLocker lock(&mutex);
        calls << "login";
        loginParams = params;
        return loginResult;
    }
    int logout() override {
        QMutexLocker lock(&mutex);
        calls << "logout";
        if (logoutSink)
            ++*logoutSink;
        return 0;
    }
    void uploadData(const QByteArray& name, const QByteArray& data, const QByteArray& params,
                    int* errorCode) override {
        QMutexLocker lock(&mutex);
        calls << "upload";
        uploadName = name;
        uploaded = data;
        uploadParams = params;
        *errorCode = uploadError;
    }
    Session sessionBegin(const QByteArray&, const QByteArray& params, int* errorCode) override {
        QMutexLocker lock(&mutex);
        calls << "begin";
        beginParams = params;
        *errorCode = beginError;
        return beginError == 0 ? 7 : NoSession;
    }
    int audioWrite(Session, const char* data, int length, int audioStatus, int* endpointStatus,
                   int* recognitionStatus) override {
        if (writeDelayMs)
            QThread::msleep(writeDelayMs);
        QMutexLocker lock(&mutex);
        calls << "write";
        const int index = writes.size();
        writes << Write{length, audioStatus};
        if (data)
            audio.append(data, length);
        if (index == failWriteAt)
            return 10114;
        if (audioStatus == AudioLast) {
            *recognitionStatus = ResultReady;
        } else {
            *recognitionStatus = index < writeRecognition.size() ? writeRecognition.at(index) : ResultPending;
            if (index == endpointAfterWrite)
                *endpointStatus = EndpointSpeechEnded;
        }
        return 0;
    }
    QByteArray getResult(Session, int* recognitionStatus, int, int* errorCode) override {
        QMutexLocker lock(&mutex);
        calls << "result";
        const Reply reply = replies.isEmpty() ? Reply{{}, ResultComplete, 0} : replies.takeFirst();
        *recognitionStatus = reply.recognitionStatus;
        *errorCode = reply.errorCode;
        return reply.fragment;
    }
    int sessionEnd(Session session, const QByteArray&) override {
        QMutexLocker lock(&mutex);
        calls << "end";
        endedSessions << session;
        return 0;
    }
};
