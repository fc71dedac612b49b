#include "app/ReplyLimiter.h"

#include <QNetworkReply>

void ReplyLimiter::attach(QNetworkReply* reply, qint64 maxBytes, int deadlineMs) {
    new ReplyLimiter(reply, maxBytes, deadlineMs);
}

ReplyLimiter::Verdict ReplyLimiter::verdict(const QNetworkReply* reply) {
    const auto* limiter = reply->findChild<ReplyLimiter*>(QString(), Qt::FindDirectChildrenOnly);
    return limiter ? limiter->m_verdict : Within;
}

ReplyLimiter::ReplyLimiter(QNetworkReply* reply, qint64 maxBytes, int deadlineMs)
    : QObject(reply), m_reply(reply), m_maxBytes(maxBytes) {
    // Never more than one byte over the limit waits in memory.
    reply->setReadBufferSize(maxBytes + 1);
    connect(reply, &QNetworkReply::metaDataChanged, this,
            [this] { checkSize(0, m_reply->header(QNetworkRequest::ContentLengthHeader).toLongLong()); });
    connect(reply, &QNetworkReply::downloadProgress, this, &ReplyLimiter::checkSize);
    connect(reply, &QNetworkReply::finished, &m_deadline, &QTimer::stop);
    m_deadline.setSingleShot(true);
    connect(&m_deadline, &QTimer::timeout, this, [this] { stop(TooSlow); });
    m_deadline.start(deadlineMs);
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
