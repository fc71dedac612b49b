#include "app/WorkingFolder.h"

#include "platform/FileWriter.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QtDebug>

// Both lists come from the build (cmake/DataFiles.cmake), so the staging beside the executable
// and this copy follow one rule.
QStringList WorkingFolder::shippedFiles() {
    return QStringLiteral(ZORVEL_SHIPPED_FILES).split(QLatin1Char(','), Qt::SkipEmptyParts);
}

QStringList WorkingFolder::userFiles() {
    return QStringLiteral(ZORVEL_USER_FILES).split(QLatin1Char(','), Qt::SkipEmptyParts);
}

WorkingFolder WorkingFolder::forExecutable(const QString& executableDir) {
    WorkingFolder folder;
    const QString exeDir = QDir::cleanPath(QFileInfo(executableDir).absoluteFilePath());
    const QString installedData = QDir::cleanPath(exeDir + QStringLiteral("/../share/zorvel"));
    // Checking the folder's permissions alone would not do: root may write anywhere, and an
    // unpacked package tree is writable, yet an installed copy never keeps user files in bin/.
    const bool installed = QFileInfo(exeDir).fileName() == QLatin1String("bin") &&
                           QFileInfo::exists(installedData + QStringLiteral("/services.ini"));
    folder.m_shipped = installed ? installedData : exeDir;
    if (!installed && QFileInfo(exeDir).isWritable()) {
        folder.m_path = exeDir;
        return folder;
    }
    // $XDG_DATA_HOME, or ~/.local/share when it is unset.
    const QString dataHome = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    folder.m_path = QDir::cleanPath(dataHome + QStringLiteral("/zorvel"));
    return folder;
}

// The whole content of a file; false when it cannot be read.
static bool readWhole(const QString& path, QByteArray* content) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    *content = file.readAll();
    return file.error() == QFileDevice::NoError;
}

bool WorkingFolder::prepare() const {
    if (!QDir().mkpath(m_path)) {
        qWarning().noquote() << "Working folder , cannot create" << m_path << "!";
        return false;
    }
    if (!isPerUser())
        return true;
    const QStringList userMaintained = userFiles();
    for (const QString& name : shippedFiles()) {
        const QString source = m_shipped + QLatin1Char('/') + name;
        const QString target = m_path + QLatin1Char('/') + name;
        if (!QFileInfo::exists(source))
            continue;
        if (QFileInfo::exists(target) && userMaintained.contains(name))
            continue;
        QByteArray content;
        if (!readWhole(source, &content)) {
            qWarning().noquote() << "Working folder , reading the shipped" << name << "failed !";
            continue;
        }
        QByteArray present;
        if (QFileInfo::exists(target) && readWhole(target, &present) && present == content)
            continue;
        // Written afresh rather than copied: the copy belongs to the user and is writable,
        // whatever the installed file's permissions. A write that fails (a full disk) leaves
        // the earlier copy, or no file at all, so that the next start copies it again.
        FileWriter::write(target, content, "Working folder");
    }
    return true;
}
