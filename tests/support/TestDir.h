#pragma once

#include <QString>
#include <QTemporaryDir>

// A fresh temporary working directory for one test case: the current directory moves there, and
// the configuration store and services settings are reloaded from it (so they start empty).
// The previous directory is restored and the folder removed when the object goes.
class TestDir {
public:
    // Optional sub-folder name (for example one with Chinese characters).
    explicit TestDir(const QString& subFolder = QString());
    ~TestDir();

    QString path() const { return m_path; }
    QString file(const QString& name) const { return m_path + QLatin1Char('/') + name; }

    // Writes bytes to a file of the folder.
    void write(const QString& name, const QByteArray& content) const;
    QByteArray read(const QString& name) const;

    // Reloads the store and the services settings from the folder after the test wrote them.
    static void reloadSettings();

    // Source and data folders of the project (set by CTest).
    static QString sourceDir();
    static QString dataDir();

private:
    QTemporaryDir m_dir;
    QString m_path;
    QString m_previous;
};
