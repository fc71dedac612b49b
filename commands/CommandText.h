#pragma once

#include <QString>

// The command text of an utterance, and the two cuts that the interpreter's stages take from a
// command text around a keyword.
class CommandText {
public:
    // Cuts a text at its sentence mark: before the first "。", overridden by "？", by "." and
    // finally by "，" (whole text); a text with none of them gives start.
    static QString trimSentenceMarks(const QString& text, const QString& start);
    // What the interpreter decides on: the utterance cut at its sentence mark, or the whole
    // utterance when it holds none (offline engines and many servers write no marks at all).
    static QString fromUtterance(const QString& utterance);

    // The part after the first occurrence of key, ending before its next occurrence or at the end
    // of the text; empty when the text does not contain the key.
    static QString pieceAfter(const QString& text, const QString& key);
    // The part before the first occurrence of key; the whole text when it does not contain the key.
    static QString partBefore(const QString& text, const QString& key);
    // The UTF-8 bytes of text with every byte but letters, digits and "-._~" written as "%XX".
    static QString percentEncoded(const QString& text);
};
