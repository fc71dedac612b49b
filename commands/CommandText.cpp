#include "commands/CommandText.h"

#include <QUrl>

QString CommandText::trimSentenceMarks(const QString& text, const QString& start) {
    QString result = start;
    for (const QString& mark : {QStringLiteral("。"), QStringLiteral("？"), QStringLiteral(".")}) {
        const int at = text.indexOf(mark);
        if (at >= 0)
            result = text.left(at);
    }
    if (text.contains(QStringLiteral("，")))
        result = text;
    return result;
}

QString CommandText::fromUtterance(const QString& utterance) {
    return trimSentenceMarks(utterance, utterance);
}

QString CommandText::pieceAfter(const QString& text, const QString& key) {
    const int at = text.indexOf(key);
    if (at < 0)
        return QString();
    const int from = at + key.size();
    const int next = key.isEmpty() ? -1 : text.indexOf(key, from);
    return next < 0 ? text.mid(from) : text.mid(from, next - from);
}

QString CommandText::partBefore(const QString& text, const QString& key) {
    const int at = text.indexOf(key);
    return at < 0 ? text : text.left(at);
}

QString CommandText::percentEncoded(const QString& text) {
    // QUrl leaves exactly the unreserved characters alone and writes upper-case hex digits.
    return QString::fromLatin1(QUrl::toPercentEncoding(text));
}
