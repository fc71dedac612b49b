#pragma once

#include <QString>

// The two cuts that the interpreter's stages take from a command text around a keyword.
class CommandText {
public:
    // The part after the first occurrence of key, ending before its next occurrence or at the end
    // of the text; empty when the text does not contain the key.
    static QString pieceAfter(const QString& text, const QString& key);
    // The part before the first occurrence of key; the whole text when it does not contain the key.
    static QString partBefore(const QString& text, const QString& key);
    // The UTF-8 bytes of text with every byte but letters, digits and "-._~" written as "%XX".
    static QString percentEncoded(const QString& text);
};
