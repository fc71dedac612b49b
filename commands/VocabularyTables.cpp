#include "commands/VocabularyTables.h"

#include "app/LogText.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTextCodec>
#include <QtDebug>

namespace {

QString pathOf(const QString& name) {
    return QDir::currentPath() + QLatin1Char('/') + name;
}

bool isTokenSeparator(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f';
}

// The first two blank- or tab-separated tokens of a line; a missing token is empty.
QPair<QByteArray, QByteArray> firstTwoTokens(const QByteArray& line) {
    QByteArray tokens[2];
    int i = 0;
    const int n = line.size();
    for (QByteArray& token : tokens) {
        while (i < n && isTokenSeparator(line[i]))
            ++i;
        const int start = i;
        while (i < n && !isTokenSeparator(line[i]))
            ++i;
        token = line.mid(start, i - start);
    }
    return {tokens[0], tokens[1]};
}

} // namespace

void VocabularyTables::loadAll() {
    loadShipped();
    reloadUserMaintained();
}

void VocabularyTables::loadShipped() {
    loadArea();
    loadLive();
    loadMovie();
    loadMusic();
    loadBuy();
    loadSystem();
}

void VocabularyTables::reloadUserMaintained() {
    loadCommandWords();
    loadWebSearch();
    loadSoftware();
}

VocabularyTables::FileStamp VocabularyTables::stampOf(const QString& path) {
    const QFileInfo info(path);
    const QDateTime modified = info.lastModified();
    // A file changed in the last two seconds may change again within the same clock tick and keep
    // its size; it gets no stamp, so it is read again next time.
    if (!info.exists() || !modified.isValid() || modified > QDateTime::currentDateTime().addSecs(-2))
        return {};
    return {info.size(), modified};
}

VocabularyTables::Merge VocabularyTables::readBytes(const QString& path, FileStamp* lastMerged,
                                                    QByteArray& data) {
    const FileStamp stamp = lastMerged ? stampOf(path) : FileStamp();
    if (lastMerged && stamp.size >= 0 && stamp == *lastMerged)
        return Merge::Unchanged;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (lastMerged)
            *lastMerged = {};
        return Merge::Failed;
    }
    data = file.readAll();
    // Taken before the read: a change while reading gives a newer stamp, so the file is read again.
    if (lastMerged)
        *lastMerged = stamp;
    return Merge::Merged;
}

VocabularyTables::Merge VocabularyTables::readText(const QString& name, const char* openWarning,
                                                   FileStamp* lastMerged, QString& text) {
    QByteArray data;
    const Merge read = readBytes(pathOf(name), lastMerged, data);
    if (read == Merge::Failed)
        qWarning("%s", openWarning);
    if (read != Merge::Merged)
        return read;
    // GBK unless a byte-order mark names UTF-8, UTF-16 or UTF-32 (as a text stream would decide).
    text = QTextCodec::codecForUtfText(data, QTextCodec::codecForName("GBK"))->toUnicode(data);
    if (text.startsWith(QChar(QChar::ByteOrderMark)))
        text.remove(0, 1);
    return Merge::Merged;
}

QVector<QStringRef> VocabularyTables::nonEmptyLines(const QString& text) {
    QVector<QStringRef> lines;
    int from = 0;
    while (from < text.size()) {
        int end = text.indexOf(QLatin1Char('\n'), from);
        const int next = end < 0 ? text.size() : end + 1;
        if (end < 0)
            end = text.size();
        // Only the line end is removed: blanks belong to the fields.
        if (end > from && text.at(end - 1) == QLatin1Char('\r') && end < text.size())
            --end;
        if (end > from)
            lines.append(text.midRef(from, end - from));
        from = next;
    }
    return lines;
}

void VocabularyTables::reportShortLine(const QString& name, const QStringRef& line) {
    const QString id = name + QLatin1Char('\n') + line;
    if (m_reportedLines.contains(id))
        return;
    m_reportedLines.insert(id);
    qWarning().noquote() << "Voice Transcribe ," << name
                         << "line without all its fields skipped :" << LogText::cut(line.toString());
}

void VocabularyTables::mergeValue(QMap<QString, QString>& table, const QStringRef& key,
                                  const QStringRef& value) {
    // Most lines of a reloaded file are unchanged: look the key up without copying it first.
    const auto it = table.find(QString::fromRawData(key.unicode(), key.size()));
    if (it == table.end())
        table.insert(key.toString(), value.toString());
    else if (it.value() != value)
        it.value() = value.toString();
}

void VocabularyTables::loadPairs(const QString& name, const char* openWarning, QMap<QString, QString>& table,
                                 FileStamp* lastMerged) {
    QString text;
    if (readText(name, openWarning, lastMerged, text) != Merge::Merged)
        return;
    for (const QStringRef& line : nonEmptyLines(text)) {
        const int comma = line.indexOf(QLatin1Char(','));
        if (comma < 0) {
            reportShortLine(name, line);
            continue;
        }
        const int end = line.indexOf(QLatin1Char(','), comma + 1);
        mergeValue(table, line.left(comma), line.mid(comma + 1, end < 0 ? -1 : end - comma - 1));
    }
}

void VocabularyTables::loadList(const QString& name, const char* openWarning, QStringList& list) {
    QString text;
    if (readText(name, openWarning, nullptr, text) != Merge::Merged)
        return;
    for (const QStringRef& line : nonEmptyLines(text))
        list.append(line.toString());
}

void VocabularyTables::loadArea() {
    loadPairs(QStringLiteral("area.txt"), "Voice Transcribe , open area file failed !", m_areaTable);
}

void VocabularyTables::loadCommandWords() {
    loadPairs(QStringLiteral("commandwords.txt"), "Voice Transcribe , open commandwords file failed !",
              m_commandWordTable, &m_lastCommandWords);
}

void VocabularyTables::loadLive() {
    loadPairs(QStringLiteral("live.txt"), "Voice Transcribe , open live file failed !", m_liveTable);
}

void VocabularyTables::loadSystem() {
    loadPairs(QStringLiteral("system.txt"), "Voice Transcribe , open system file failed !", m_systemTable);
}

void VocabularyTables::loadBuy() {
    loadList(QStringLiteral("Buy.txt"), "Voice Transcribe , open buy file failed !", m_buyList);
}

void VocabularyTables::loadMovie() {
    loadList(QStringLiteral("Movie.txt"), "Voice Transcribe , open movie file failed !", m_movieList);
}

void VocabularyTables::loadMusic() {
    loadList(QStringLiteral("Music.txt"), "Voice Transcribe , open music file failed !", m_musicList);
}

void VocabularyTables::loadSoftware() {
    const QString name = QStringLiteral("software.txt");
    QString text;
    if (readText(name, "Voice Transcribe , open software file failed !", &m_lastSoftware, text) !=
        Merge::Merged)
        return;
    for (const QStringRef& line : nonEmptyLines(text)) {
        // name, executable, download page, found location (empty until the scanner fills it).
        const int c1 = line.indexOf(QLatin1Char(','));
        const int c2 = c1 < 0 ? -1 : line.indexOf(QLatin1Char(','), c1 + 1);
        if (c2 < 0) {
            reportShortLine(name, line);
            continue;
        }
        const int c3 = line.indexOf(QLatin1Char(','), c2 + 1);
        const QStringRef page = line.mid(c2 + 1, c3 < 0 ? -1 : c3 - c2 - 1);
        const int c4 = c3 < 0 ? -1 : line.indexOf(QLatin1Char(','), c3 + 1);
        const QStringRef found = c3 < 0 ? QStringRef() : line.mid(c3 + 1, c4 < 0 ? -1 : c4 - c3 - 1);
        mergeValue(m_softwareTable, line.left(c1), found.isEmpty() ? page : found);
    }
}

void VocabularyTables::loadWebSearch() {
    // Opened by its real path (any characters); a missing file is not worth a warning, since the
    // custom command editor creates it with the first web word.
    QByteArray data;
    if (readBytes(pathOf(QStringLiteral("webSearch.txt")), &m_lastWebSearch, data) != Merge::Merged)
        return;
    const QList<QByteArray> lines = data.split('\n');
    for (int i = 0; i < lines.size(); ++i) {
        const QByteArray& line = lines[i];
        if (i == lines.size() - 1 && line.isEmpty())
            break; // the end of the last line
        const auto [key, value] = firstTwoTokens(line);
        // A blank line is no record: an empty keyword would be contained in every command.
        if (key.isEmpty())
            continue;
        if (!m_webSearchTable.contains(key))
            m_webSearchTable.insert(key, value);
    }
}
