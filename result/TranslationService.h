#pragma once

#include <QString>
#include <optional>

// Everything about the online translation service that does not touch the network: its language
// tables, its settings, the request URL and the reading of its reply.
class TranslationService {
public:
    struct Language {
        QString code; // sent to the service
        QString name; // for the log view only, in the interface language; empty outside the table
    };

    // Replies larger than this are refused unread, and so are longer translations: a reply the
    // size of a page is never a translation of one utterance, and typing it would hold the user's
    // window for minutes.
    static constexpr qint64 kMaxReplyBytes = 64 * 1024;
    static constexpr int kMaxTranslationChars = 4096;

    struct Settings {
        QString host; // host[:port], plain HTTP
        QString appId;
        QString salt;
        QString key;   // signs requests, never sent
        int timeoutMs; // the whole request, from sending to the last byte
    };

    // Source language by TranslationLanguage (0..2, otherwise "en" without a name).
    static Language source(int value);
    // Target language by TranslationResultLanguage (0..24, otherwise "zh" without a name).
    static Language target(int value);
    static int targetCount();

    // From the [translation] section of services.ini, with the built-in defaults.
    static Settings settings();

    // The string the signature is the MD5 of: id + query + salt + key.
    static QString signatureInput(const Settings& s, const QString& query);
    // The request URL with the keys q, from, to, appid, salt, sign in this order; the query is
    // percent-encoded from its UTF-8 bytes (unreserved characters kept).
    static QString requestUrl(const Settings& s, const QString& query, const QString& from, const QString& to,
                              const QString& sign);

    // The first translated segment of a reply body, still with its escapes; nullopt when the body
    // holds no translation (no marker, or the segment is not closed).
    static std::optional<QString> firstSegment(const QString& body);
    // Decodes the escapes of a segment: "\u" + four hex digits (surrogate pairs give one
    // character), and the escaped quote, backslash and slash. Other escapes stay as they are.
    static QString decodeEscapes(const QString& segment);
};
