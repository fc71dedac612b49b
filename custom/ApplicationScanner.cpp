#include "custom/ApplicationScanner.h"

#include <QFile>
#include <QSaveFile>
#include <QSet>
#include <QTextCodec>
#include <QTextStream>
#include <QtDebug>

static const char kSoftwareFile[] = "software.txt";
static const char kListFile[] = "info.txt";

static QTextCodec* gbk() {
    return QTextCodec::codecForName("GBK");
}

ApplicationScanner::ApplicationScanner(std::unique_ptr<ExecutableListing> listing)
    : m_listing(std::move(listing)) {
    readSoftwareTxt();
}

ApplicationScanner::~ApplicationScanner() {
    // The scan cannot be interrupted; at quit it is waited for rather than torn down mid-write.
    wait();
}

void ApplicationScanner::readSoftwareTxt() {
    QFile file(QString::fromLatin1(kSoftwareFile));
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        qWarning("Find the application , open software file failed when reading !");
        // A file that exists but cannot be read is left alone by the scan rather than emptied.
        m_unreadable = file.exists();
        return;
    }
    m_unreadable = false;
    QTextStream in(&file);
    in.setCodec(gbk());
    in.setAutoDetectUnicode(true);
    QString line;
    while (in.readLineInto(&line)) {
        if (line.isEmpty())
            continue;
        const QStringList fields = line.split(QLatin1Char(','));
        if (fields.size() < 4)
            qWarning().noquote()
                << "Find the application , record with fewer than four fields kept unchanged:" << line;
        m_records.insert(fields.value(1), line);
    }
}

QByteArray ApplicationScanner::encodeLine(const QString& line) const {
    return gbk()->fromUnicode(line) + "\r\n";
}

// One line of the listing: UTF-8 where it is valid UTF-8 (the Linux walker writes file names as
// they are), otherwise the local code page GBK (the Windows shell's output).
static QString decodeListLine(const QByteArray& bytes) {
    QTextCodec::ConverterState state;
    const QString text =
        QTextCodec::codecForName("UTF-8")->toUnicode(bytes.constData(), bytes.size(), &state);
    if (state.invalidChars == 0)
        return text;
    return gbk()->toUnicode(bytes);
}

// A record is completed when it has its four fields and the fourth is still empty.
static bool needsLocation(const QString& record) {
    const QStringList fields = record.split(QLatin1Char(','));
    return fields.size() == 4 && fields.at(3).isEmpty() && !fields.at(1).isEmpty();
}

QByteArray ApplicationScanner::filledRecords(const QString& listPath) {
    QByteArray out;
    QFile list(listPath);
    if (!list.open(QIODevice::ReadOnly)) {
        qWarning("Find the application , open info file failed !");
        return out;
    }
    // Only the records still waiting for a location take part in the walk over the listing.
    QList<QPair<QString, QString>> open;
    for (auto it = m_records.cbegin(); it != m_records.cend(); ++it)
        if (needsLocation(it.value()))
            open.append(qMakePair(it.key(), it.value()));
    while (!list.atEnd()) {
        QByteArray bytes = list.readLine();
        while (bytes.endsWith('\n') || bytes.endsWith('\r'))
            bytes.chop(1);
        if (bytes.isEmpty())
            continue;
        const QString line = decodeListLine(bytes);
        QString path = line;
        path.replace(QLatin1Char('\\'), QLatin1String("\\\\"));
        for (const auto& record : open) {
            if (line.contains(record.first)) {
                out += encodeLine(record.second + QStringLiteral("file:///") + path);
                m_foundKeys.append(record.first);
            }
        }
    }
    return out;
}

// True unless the file exists and may not be written: no write permission bit at all (a file the
// user made read-only, which is respected even for the superuser) or it cannot be opened for writing.
static bool isWritable(const QString& path) {
    QFile file(path);
    if (!file.exists())
        return true;
    const QFile::Permissions write = QFile::WriteOwner | QFile::WriteGroup | QFile::WriteOther;
    if (!(file.permissions() & write))
        return false;
    return file.open(QIODevice::WriteOnly | QIODevice::Append);
}

void ApplicationScanner::run() {
    const QString listPath = QString::fromLatin1(kListFile);
    if (!m_listing || !m_listing->writeList(listPath))
        qWarning("Find the application , listing the executables failed !");

    // The new content is built in full and replaces "software.txt" only once complete, so a file
    // that cannot be written keeps every record it had.
    QByteArray content = filledRecords(listPath);
    const QSet<QString> found(m_foundKeys.cbegin(), m_foundKeys.cend());
    for (auto it = m_records.cbegin(); it != m_records.cend(); ++it)
        if (!found.contains(it.key()))
            content += encodeLine(it.value());

    const QString softwarePath = QString::fromLatin1(kSoftwareFile);
    QSaveFile file(softwarePath);
    if (m_unreadable)
        qWarning("Find the application , software file left unchanged, it could not be read !");
    else if (!isWritable(softwarePath) || !file.open(QIODevice::WriteOnly) ||
             file.write(content) != content.size() || !file.commit())
        qWarning("Find the application , open soft file failed !");

    QFile::remove(listPath);
}
