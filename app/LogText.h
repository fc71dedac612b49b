#pragma once

#include <QByteArray>
#include <QString>

// Values that come from files and servers (an address in "services.ini", a reply body, a record
// of a vocabulary file) go into the log cut to a few hundred characters, so that one absurd
// value cannot fill the log.
class LogText {
public:
    static constexpr int kMaxChars = 300;

    // The value as it is when short enough, else its start and how long it was.
    static QString cut(const QString& value, int maxChars = kMaxChars);
    // Bytes of a reply, read as UTF-8 (invalid sequences shown as replacement characters).
    static QString cut(const QByteArray& value, int maxChars = kMaxChars);
};
