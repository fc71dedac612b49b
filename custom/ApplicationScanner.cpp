#include "custom/ApplicationScanner.h"

#include "app/LogText.h"
#include "platform/FileWriter.h"

#include <QFile>
#include <QRegularExpression>
#include <QTextCodec>
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

// A line's text without its line end.
static QString textOf(const QString& line) {
    int end = line.size();
    if (line.endsWith(QLatin1Char('\n')))
        --end;
    if (end > 0 && line.at(end - 1) == QLatin1Char('\r'))
        --end;
    return line.left(end);
}

void ApplicationScanner::readSoftwareTxt() {
    m_lines.clear();
    m_byteOrderMark.clear();
    QFile file(QString::fromLatin1(kSoftwareFile));
    if (!file.open(QIODevice::ReadOnly)) {
        qWarning("Find the application , open software file failed when reading !");
        // A file that exists but cannot be read is left alone by the scan rather than emptied.
        m_state = file.exists() ? FileState::Unreadable : FileState::Missing;
        return;
    }
    const QByteArray bytes = file.readAll();
    // As the readers of the file decide: GBK unless a byte-order mark names a Unicode encoding.
    m_codec = QTextCodec::codecForUtfText(bytes, gbk());
    QTextCodec::ConverterState state;
    const QString text = m_codec->toUnicode(bytes.constData(), bytes.size(), &state);
    // Written back, the text must give the very bytes read, apart from a byte-order mark the
    // decoder dropped (a head of at most four bytes that decodes to nothing); otherwise writing
    // would damage the file for good.
    const QByteArray again = m_codec->fromUnicode(text);
    const QByteArray head = bytes.left(bytes.size() - again.size());
    const bool lossless = state.invalidChars == 0 && bytes.endsWith(again) &&
                          (head.isEmpty() || (head.size() <= 4 && m_codec->toUnicode(head).isEmpty()));
    if (!lossless) {
        m_state = FileState::NotLossless;
        return;
    }
    m_state = FileState::Read;
    m_byteOrderMark = head;
    for (int start = 0; start < text.size();) {
        const int nl = text.indexOf(QLatin1Char('\n'), start);
        const int end = nl < 0 ? text.size() : nl + 1;
        m_lines << text.mid(start, end - start);
        start = end;
    }
    for (const QString& line : qAsConst(m_lines)) {
        const QString record = textOf(line);
        if (!record.isEmpty() && record.count(QLatin1Char(',')) < 3)
            qWarning().noquote()
                << "Find the application , record with fewer than four fields kept unchanged:"
                << LogText::cut(record);
    }
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

bool ApplicationScanner::fillRecords(const QString& listPath) {
    QFile list(listPath);
    if (!list.open(QIODevice::ReadOnly)) {
        qWarning("Find the application , open info file failed !");
        return false;
    }
    const ExecutableListing::NameMatch rule = m_listing->nameMatch();
    bool changed = false;
    // The records still waiting for a location (by line index) take part in the walk; the
    // first path found fills a record in its place, each further one adds a copy at the end.
    struct Open {
        int line;
        QString record;
        QString key;
        bool filled = false;
    };
    QVector<Open> open;
    for (int i = 0; i < m_lines.size(); ++i) {
        const QString record = textOf(m_lines[i]);
        const QString kept = withoutWrongLocation(record, rule);
        if (kept != record) {
            m_lines[i] = kept + m_lines[i].mid(record.size());
            changed = true;
        }
        if (needsLocation(kept))
            open.append({i, kept, kept.section(QLatin1Char(','), 1, 1)});
    }
    QStringList added;
    while (!list.atEnd()) {
        QByteArray bytes = list.readLine();
        while (bytes.endsWith('\n') || bytes.endsWith('\r'))
            bytes.chop(1);
        if (bytes.isEmpty())
            continue;
        const QString line = decodeListLine(bytes);
        QString path = line;
        path.replace(QLatin1Char('\\'), QLatin1String("\\\\"));
        for (Open& record : open) {
            if (!matches(rule, line, record.key))
                continue;
            const QString filled = withLocation(record.record, kFileScheme + path);
            if (record.filled) {
                added << filled;
            } else {
                QString& target = m_lines[record.line];
                target = filled + target.mid(textOf(target).size());
                record.filled = true;
            }
            changed = true;
        }
    }
    if (!added.isEmpty() && !m_lines.isEmpty() && !m_lines.last().endsWith(QLatin1Char('\n')))
        m_lines.last() += QStringLiteral("\r\n");
    for (const QString& record : qAsConst(added))
        m_lines << record + QStringLiteral("\r\n");
    return changed;
}

QByteArray ApplicationScanner::encoded() const {
    QTextCodec* codec = m_codec ? m_codec : gbk();
    return m_byteOrderMark + codec->fromUnicode(m_lines.join(QString()));
}

void ApplicationScanner::run() {
    if (m_state == FileState::Unreadable) {
        qWarning("Find the application , software file left unchanged, it could not be read !");
        return;
    }
    if (m_state == FileState::NotLossless) {
        qWarning("Find the application , software file left unchanged, it is not GBK text (saved as UTF-8 "
                 "without a byte-order mark?) and would be damaged by writing it back !");
        return;
    }
    const QString listPath = QString::fromLatin1(kListFile);
    const bool listed = m_listing && m_listing->writeList(listPath);
    if (!listed)
        qWarning("Find the application , listing the executables failed !");
    // A missing file is made (empty when nothing was found), so that its readers find one.
    const bool changed = (listed && fillRecords(listPath)) || m_state == FileState::Missing;
    // The file is written only when a record changed; the new content replaces it only once
    // complete, so a full disk or a read-only file keeps every record it had.
    if (changed && FileWriter::write(QString::fromLatin1(kSoftwareFile), encoded(), "Find the application"))
        m_state = FileState::Read;
    QFile::remove(listPath);
}
