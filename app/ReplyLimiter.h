#pragma once

#include <QNetworkRequest>
#include <QObject>
#include <QTimer>

class QHttpMultiPart;
class QNetworkAccessManager;
class QNetworkReply;

// The one bound on what the program's HTTP clients hold of a reply. Requests go out asking for
// the body as it is (Accept-Encoding: identity): Qt would otherwise ask for gzip and inflate the
// body by itself, all of a received chunk at once, so that a small compressed reply could take
// gigabytes before any cap is looked at. The limiter then aborts the transfer
// - when the reply comes with a Content-Encoding anyway: its size once inflated cannot be known,
//   so it counts as too large;
// - as soon as more than maxBytes are announced or have come (the read buffer holds at most one
//   byte more, so the body never waits in memory whole);
// - when its deadline passes, whatever the server does (the transfer time-out of Qt fires only
//   on silence, so a server sending one byte a second would hold the request forever).
// A refused reply is refused whole: its handler reads nothing of it and gives its own warning.
class ReplyLimiter : public QObject {
    Q_OBJECT
public:
    enum Verdict { Within, TooLarge, TooSlow };

    // Sends the request with its limiter attached; the reply belongs to the caller as usual.
    static QNetworkReply* get(QNetworkAccessManager* manager, QNetworkRequest request, qint64 maxBytes,
                              int deadlineMs);
    static QNetworkReply* post(QNetworkAccessManager* manager, QNetworkRequest request,
                               QHttpMultiPart* multiPart, qint64 maxBytes, int deadlineMs);
    // Within for a reply that was not aborted by its limiter (or has none).
    static Verdict verdict(const QNetworkReply* reply);

private:
    ReplyLimiter(QNetworkReply* reply, qint64 maxBytes, int deadlineMs);
    static QNetworkRequest askingIdentity(QNetworkRequest request);
    void checkHeaders();
    void checkSize(qint64 received, qint64 total);
    void stop(Verdict verdict);

    QNetworkReply* m_reply;
    qint64 m_maxBytes;
    QTimer m_deadline;
    Verdict m_verdict = Within;
};
