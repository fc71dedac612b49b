#include "app/LogText.h"

QString LogText::cut(const QString& value, int maxChars) {
    if (value.size() <= maxChars)
        return value;
    int keep = maxChars;
    // Never half a surrogate pair.
    if (keep > 0 && value.at(keep - 1).isHighSurrogate())
        --keep;
    return value.left(keep) + QStringLiteral("… (%1 characters in all)").arg(value.size());
}

QString LogText::cut(const QByteArray& value, int maxChars) {
    // Four bytes a character at most: decoding more than that would only be cut away.
    const QString text = QString::fromUtf8(value.left(maxChars * 4 + 4));
    if (text.size() <= maxChars && value.size() <= maxChars * 4 + 4)
        return text;
    int keep = qMin(maxChars, text.size());
    if (keep > 0 && text.at(keep - 1).isHighSurrogate())
        --keep;
    return text.left(keep) + QStringLiteral("… (%1 bytes in all)").arg(value.size());
}
