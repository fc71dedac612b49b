#include "platform/win/WinExecutableListing.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStringList>

std::unique_ptr<ExecutableListing> ExecutableListing::create() {
    return std::make_unique<WinExecutableListing>();
}

// Runs one command line through "cmd.exe /c" and waits for it without a time limit.
static void runShell(const QString& commandLine) {
    QProcess process;
    process.start(QStringLiteral("cmd.exe"), QStringList{QStringLiteral("/c"), commandLine},
                  QIODevice::ReadWrite);
    process.waitForFinished(-1);
}

bool WinExecutableListing::writeList(const QString& listPath) {
    // "info.txt" in the working directory is named as it is; any other path is quoted.
    QString target = QDir::toNativeSeparators(listPath);
    if (target.contains(QLatin1Char(' ')))
        target = QLatin1Char('"') + target + QLatin1Char('"');
    QFile::remove(listPath);
    runShell(QStringLiteral("dir /s /b c:\\*.exe > %1").arg(target));
    runShell(QStringLiteral("dir /s /b d:\\*.exe >> %1").arg(target));
    return QFileInfo::exists(listPath);
}
