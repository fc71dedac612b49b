#include "platform/ProgramLauncher.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QtDebug>

void ProgramLauncher::install() {
    static ProgramLauncher* launcher = new ProgramLauncher(QCoreApplication::instance());
    QDesktopServices::setUrlHandler(QStringLiteral("file"), launcher, "open");
}

void ProgramLauncher::open(const QUrl& url) {
    // Stored records may carry an extra slash ("file:////usr/bin/x"); the path is the same.
    const QString path = QDir::cleanPath(url.toLocalFile());
    const QFileInfo info(path);
    if (info.isFile() && info.isExecutable()) {
        if (!QProcess::startDetached(path, {}, info.absolutePath()))
            qWarning().noquote() << "Open program , could not start" << path << "!";
        return;
    }
    // Documents and folders: the desktop's own opener (not QDesktopServices, which would come back here).
    if (!QProcess::startDetached(QStringLiteral("xdg-open"), {QUrl::fromLocalFile(path).toString()}))
        qWarning().noquote() << "Open program , no desktop opener (xdg-open) for" << path << "!";
}
