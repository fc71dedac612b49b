#include "app/ReplyLimiter.h"

#include "app/LogText.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QtDebug>

QNetworkRequest ReplyLimiter::askingIdentity(QNetworkRequest request) {
    // Set explicitly, the header also turns Qt's own inflating off: the body comes as sent.
    request.setRawHeader("Accept-Encoding", "identity");
    return request;
}

QNetworkReply* ReplyLimiter::get(QNetworkAccessManager* manager, QNetworkRequest request, qint64 maxBytes,
                                 int deadlineMs) {
    QNetworkReply* reply = manager->get(askingIdentity(std::move(request)));
    new ReplyLimiter(reply, maxBytes, deadlineMs);
    return reply;
}

QNetworkReply* ReplyLimiter::post(QNetworkAccessManager* manager, QNetworkRequest request,
                                  QHttpMultiPart* multiPart, qint64 maxBytes, int deadlineMs) {
    QNetworkReply* reply = manager->post(askingIdentity(std::move(request)), multiPart);
    new ReplyLimiter(reply, maxBytes, deadlineMs);
    return reply;
}

ReplyLimiter::Verdict ReplyLimiter::verdict(const QNetworkReply* reply) {
    const auto* limiter = reply->findChild<ReplyLimiter*>(QString(), Qt::FindDirectChildrenOnly);
    return limiter ? limiter->m_verdict : Within;
}

ReplyLimiter::ReplyLimiter(QNetworkReply* reply, qint64 maxBytes, int deadlineMs)
    : QObject(reply), m_reply(reply), m_maxBytes(maxBytes) {
    // Never more than one byte over the limit waits in memory.
    reply->setReadBufferSize(maxBytes + 1);
    connect(reply, &QNetworkReply::metaDataChanged, this, &ReplyLimiter::checkHeaders);
    connect(reply, &QNetworkReply::downloadProgress, this, &ReplyLimiter::checkSize);
    connect(reply, &QNetworkReply::finished, &m_deadline, &QTimer::stop);
    m_deadline.setSingleShot(true);
    connect(&m_deadline, &QTimer::timeout, this, [this] { stop(TooSlow); });
    m_deadline.start(deadlineMs);
}

void ReplyLimiter::checkHeaders() {
    const QByteArray encoding = m_reply->rawHeader("Content-Encoding").trimmed().toLower();
    if (!encoding.isEmpty() && encoding != "identity") {
        // The handler's warning says the reply was refused; this line says why.
        qDebug().noquote() << "Network , reply from" << LogText::cut(m_reply->url().toString())
                           << "came with Content-Encoding" << LogText::cut(QString::fromLatin1(encoding))
                           << "although identity was asked; refused unread";
        stop(TooLarge);
        return;
    }
    checkSize(0, m_reply->header(QNetworkRequest::ContentLengthHeader).toLongLong());
}

void ReplyLimiter::checkSize(qint64 received, qint64 total) {
    if (received > m_maxBytes || total > m_maxBytes)
        stop(TooLarge);
}

void ReplyLimiter::stop(Verdict verdict) {
    if (m_reply->isFinished() || m_verdict != Within)
        return;
    m_verdict = verdict;
    m_deadline.stop();
    m_reply->abort();
}
