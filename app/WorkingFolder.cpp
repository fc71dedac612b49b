#include "app/WorkingFolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
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

static QByteArray contentOf(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
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
        const QByteArray content = contentOf(source);
        if (QFileInfo::exists(target) && contentOf(target) == content)
            continue;
        // Written afresh rather than copied: the copy belongs to the user and is writable,
        // whatever the installed file's permissions.
        QSaveFile file(target);
        if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size() || !file.commit())
            qWarning().noquote() << "Working folder , copying" << name << "failed !";
    }
    return true;
}
