#include "platform/FileWriter.h"

#include <QFileInfo>
#include <QSaveFile>
#include <QtDebug>

const char* FileWriter::stepName(Step step) {
    switch (step) {
    case Step::Open:
        return "open";
    case Step::Write:
        return "write";
    case Step::Flush:
        return "flush";
    case Step::Rename:
        return "rename";
    }
    return "";
}

static bool hasNoWriteBit(const QString& path) {
    const QFileInfo info(path);
    const QFile::Permissions write = QFile::WriteOwner | QFile::WriteGroup | QFile::WriteOther;
    return info.exists() && info.isFile() && !(info.permissions() & write);
}

bool FileWriter::write(const QString& path, const QByteArray& content, const char* component, QString* reason,
                       QIODevice::OpenMode mode) {
    QSaveFile file(path);
    Step step = Step::Open;
    QString why;
    if (hasNoWriteBit(path)) {
        why = QStringLiteral("the file is read-only");
    } else if (!file.open(QIODevice::WriteOnly | mode)) {
        why = file.errorString();
    } else if (file.write(content) != content.size()) {
        step = Step::Write;
    } else if (!file.flush()) {
        // Small writes only reach the buffer; QSaveFile::commit() would rename the temporary
        // over the file even when flushing that buffer failed, so the flush is checked here.
        step = Step::Flush;
    } else if (file.commit()) {
        return true;
    } else {
        step = Step::Rename;
    }
    if (why.isEmpty())
        why = file.errorString();
    // Nothing half-written takes the file's place: the temporary goes with the object.
    file.cancelWriting();
    if (reason)
        *reason = why;
    const bool existed = QFileInfo::exists(path);
    qWarning().noquote() << QStringLiteral("%1 , %2 could not be written (%3 failed: %4), %5 !")
                                .arg(QLatin1String(component), QFileInfo(path).fileName(),
                                     QLatin1String(stepName(step)), why,
                                     existed ? QStringLiteral("the old file is kept")
                                             : QStringLiteral("no file was made"));
    return false;
}
