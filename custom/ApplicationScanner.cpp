#include "custom/ApplicationScanner.h"

#include <QFile>
#include <QRegularExpression>
#include <QSaveFile>
#include <QTextCodec>
#include <QTextStream>
#include <QtDebug>
#include <algorithm>

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
    m_records.clear();
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
        m_records.append({fields.value(1), line});
    }
    std::stable_sort(m_records.begin(), m_records.end(),
                     [](const Record& a, const Record& b) { return a.key < b.key; });
}

bool ApplicationScanner::matches(ExecutableListing::NameMatch rule, const QString& path,
                                 const QString& name) {
    if (name.isEmpty())
        return false;
    if (rule == ExecutableListing::NameMatch::Contained)
        return path.contains(name);
    const QString file = path.mid(path.lastIndexOf(QLatin1Char('/')) + 1);
    if (!name.endsWith(QLatin1Char('*')))
        return file == name;
    const QString base = name.chopped(1);
    if (base.isEmpty() || !file.startsWith(base))
        return false;
    static const QRegularExpression version(QStringLiteral("^(-?[0-9]+(\\.[0-9]+)*)?$"));
    return version.match(file.midRef(base.size())).hasMatch();
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

// The record with its location in field 4.
static QString withLocation(const QString& record, const QString& location) {
    QStringList fields = record.split(QLatin1Char(','));
    fields[3] = location;
    return fields.join(QLatin1Char(','));
}

static const QLatin1String kFileScheme("file:///");

// A location that an earlier scan filled in but whose file is not the record's executable under
// the current rule (an older rule matched "code" in ".../osslsigncode") is emptied, so the walk
// looks for the record again.
static QString withoutWrongLocation(const QString& record, ExecutableListing::NameMatch rule) {
    const QStringList fields = record.split(QLatin1Char(','));
    if (fields.size() != 4 || !fields.at(3).startsWith(kFileScheme))
        return record;
    QString path = fields.at(3).mid(kFileScheme.size());
    path.replace(QLatin1String("\\\\"), QLatin1String("\\"));
    if (ApplicationScanner::matches(rule, path, fields.at(1)))
        return record;
    return withLocation(record, QString());
}

QByteArray ApplicationScanner::filledRecords(const QString& listPath) {
    QByteArray out;
    QFile list(listPath);
    if (!list.open(QIODevice::ReadOnly)) {
        qWarning("Find the application , open info file failed !");
        return out;
    }
    const ExecutableListing::NameMatch rule = m_listing->nameMatch();
    // Only the records still waiting for a location take part in the walk over the listing.
    QVector<Record*> open;
    for (Record& record : m_records) {
        record.line = withoutWrongLocation(record.line, rule);
        if (needsLocation(record.line))
            open.append(&record);
    }
    while (!list.atEnd()) {
        QByteArray bytes = list.readLine();
        while (bytes.endsWith('\n') || bytes.endsWith('\r'))
            bytes.chop(1);
        if (bytes.isEmpty())
            continue;
        const QString line = decodeListLine(bytes);
        QString path = line;
        path.replace(QLatin1Char('\\'), QLatin1String("\\\\"));
        for (Record* record : open) {
            if (matches(rule, line, record->key)) {
                out += encodeLine(withLocation(record->line, kFileScheme + path));
                record->found = true;
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
    QByteArray content = m_listing ? filledRecords(listPath) : QByteArray();
    for (const Record& record : m_records)
        if (!record.found)
            content += encodeLine(record.line);

    const QString softwarePath = QString::fromLatin1(kSoftwareFile);
    QSaveFile file(softwarePath);
    if (m_unreadable)
        qWarning("Find the application , software file left unchanged, it could not be read !");
    else if (!isWritable(softwarePath) || !file.open(QIODevice::WriteOnly) ||
             file.write(content) != content.size() || !file.commit())
        qWarning("Find the application , open soft file failed !");

    QFile::remove(listPath);
}
