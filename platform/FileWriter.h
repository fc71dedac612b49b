#pragma once

#include <QByteArray>
#include <QIODevice>
#include <QString>

// The one way the program replaces a file it keeps (here, below every other folder, so that the
// backends can use it too): the new content goes to a temporary file
// beside it, every write and the flush are checked, and only then does the temporary take the
// file's place. A failure at any step (a full disk, a read-only file or folder) leaves the old
// file exactly as it was — or no file where there was none — removes the temporary, and logs one
// warning that names the component, the file and the step.
class FileWriter {
public:
    // The steps of a write, for the warning.
    enum class Step { Open, Write, Flush, Rename };

    // Replaces the file at path with content; mode may add QIODevice::Text (platform line ends).
    // A file without any write permission bit is treated as the user's wish and left alone, even
    // for the superuser. On failure returns false and, if reason is given, sets it to the
    // system's reason.
    static bool write(const QString& path, const QByteArray& content, const char* component,
                      QString* reason = nullptr, QIODevice::OpenMode mode = QIODevice::NotOpen);

    // "open", "write", "flush", "rename".
    static const char* stepName(Step step);
};
