#pragma once

#include <QByteArray>
#include <QStringList>
#include <QTextCodec>

// Vocabulary file content as the program's writers produce it: GBK, every line ended by CR LF.
inline QByteArray gbkLines(const QStringList& lines) {
    QByteArray out;
    QTextCodec* gbk = QTextCodec::codecForName("GBK");
    for (const QString& line : lines)
        out += gbk->fromUnicode(line) + "\r\n";
    return out;
}

inline QByteArray gbk(const QString& text) {
    return QTextCodec::codecForName("GBK")->fromUnicode(text);
}
