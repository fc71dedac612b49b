#pragma once

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>

// Changes keys of one section of "services.ini" by editing its lines, so that comments, blank
// lines, other sections and keys it does not set stay exactly as they were (QSettings would
// rewrite the whole file without its comments).
class ServicesIniEditor {
public:
    using Keys = QList<QPair<QString, QString>>;

    // The text with each key of the section set: an existing "key=" line of the section is
    // replaced, a missing key is added after the section's last line, a missing section is
    // appended at the end. New lines use the text's own line ends.
    static QByteArray withKeys(const QByteArray& text, const QString& section, const Keys& keys);

    // Reads the file (a missing one counts as empty), sets the keys and saves it through
    // FileWriter. False with the system's reason in error, and one warning logged, when it
    // cannot be read or written; the file is then left as it was.
    static bool write(const QString& path, const QString& section, const Keys& keys, QString* error);

    // A value as the INI reader gives it back: quoted when it holds a list comma, a comment
    // sign, a quote, a backslash or outer spaces; line breaks are dropped.
    static QString encodeValue(const QString& value);
};
