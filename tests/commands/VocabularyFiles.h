#pragma once

#include <QStringList>
#include <QTextCodec>

// Vocabulary file content as the program's writers produce it: GBK, every line ended by CR LF.
inline QByteArray gbk(const QString& text) {
    return QTextCodec::codecForName("GBK")->fromUnicode(text);
}

inline QByteArray gbkLines(const QStringList& lines) {
    QByteArray out;
    for (const QString& line : lines)
        out += gbk(line) + "\r\n";
    return out;
}
