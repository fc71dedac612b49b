#pragma once

#include <QObject>
#include <QTimer>

class QNetworkReply;

// Bounds one network reply: aborts it once more than maxBytes have come or are announced, and
// when its deadline passes, whatever the server does (the transfer time-out of Qt fires only on
// silence, so a server sending one byte a second would hold the request forever). Lives as a
// child of the reply; the handler asks for the verdict when the reply has finished.
class ReplyLimiter : public QObject {
    Q_OBJECT
public:
    enum Verdict { Within, TooLarge, TooSlow };

    static void attach(QNetworkReply* reply, qint64 maxBytes, int deadlineMs);
    // Within for a reply that was not aborted by its limiter (or has none).
    static Verdict verdict(const QNetworkReply* reply);

private:
    ReplyLimiter(QNetworkReply* reply, qint64 maxBytes, int deadlineMs);
    void checkSize(qint64 received, qint64 total);
    void stop(Verdict verdict);

    QNetworkReply* m_reply;
    qint64 m_maxBytes;
    QTimer m_deadline;
    Verdict m_verdict = Within;
};
