#pragma once

#include <QString>
#include <QStringList>

// The folder the program reads and writes its files in ("config.txt", "logs/", "record.wav", the
// vocabulary files, "services.ini"). That is the executable's own folder while it can be written
// and is not an installed copy (the build folder, an unpacked portable copy). An installed copy
// (executable in <prefix>/bin, shipped files in <prefix>/share/zorvel) or an executable in a
// folder the user cannot write works in a per-user folder, $XDG_DATA_HOME/zorvel (by default
// ~/.local/share/zorvel), seeded from the shipped files.
class WorkingFolder {
public:
    static WorkingFolder forExecutable(const QString& executableDir);

    QString path() const { return m_path; }
    // Where the shipped data files lie.
    QString shippedPath() const { return m_shipped; }
    bool isPerUser() const { return m_path != m_shipped; }

    // Creates the folder and, when it is a per-user one, copies the shipped files into it:
    // files the user maintains only when missing, the others whenever they differ from the
    // shipped copy (a newer package). False when the folder cannot be created.
    bool prepare() const;

    // Names of the shipped data files, and of those among them that the user maintains.
    static QStringList shippedFiles();
    static QStringList userFiles();

private:
    QString m_path;
    QString m_shipped;
};
