#include "commands/VocabularyTables.h"

#include <QDir>
#include <QFile>
#include <QTextCodec>
#include <QTextStream>
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
    loadArea();
    loadLive();
    loadMovie();
    loadMusic();
    loadBuy();
    loadSystem();
    reloadUserMaintained();
}

void VocabularyTables::reloadUserMaintained() {
    loadCommandWords();
    loadWebSearch();
    loadSoftware();
}

VocabularyTables::Merge VocabularyTables::readLines(const QString& name, const char* openWarning,
                                                    QByteArray* lastMerged, QStringList& lines) {
    QFile file(pathOf(name));
    if (!file.open(QIODevice::ReadOnly)) {
        qWarning("%s", openWarning);
        return Merge::Failed;
    }
    const QByteArray data = file.readAll();
    if (lastMerged) {
        if (data == *lastMerged)
            return Merge::Unchanged;
        *lastMerged = data;
    }
    QTextStream stream(data);
    stream.setCodec(QTextCodec::codecForName("GBK"));
    stream.setAutoDetectUnicode(true);
    QString line;
    while (stream.readLineInto(&line)) {
        // Nothing but the line end is removed: blanks belong to the fields.
        if (!line.isEmpty())
            lines.append(line);
    }
    return Merge::Merged;
}

void VocabularyTables::reportShortLine(const QString& name, const QString& line) {
    const QString id = name + QLatin1Char('\n') + line;
    if (m_reportedLines.contains(id))
        return;
    m_reportedLines.insert(id);
    qWarning().noquote() << "Voice Transcribe ," << name << "line without all its fields skipped :" << line;
}

void VocabularyTables::loadPairs(const QString& name, const char* openWarning, QMap<QString, QString>& table,
                                 QByteArray* lastMerged) {
    QStringList lines;
    if (readLines(name, openWarning, lastMerged, lines) != Merge::Merged)
        return;
    for (const QString& line : qAsConst(lines)) {
        const int comma = line.indexOf(QLatin1Char(','));
        if (comma < 0) {
            reportShortLine(name, line);
            continue;
        }
        const int end = line.indexOf(QLatin1Char(','), comma + 1);
        table.insert(line.left(comma), line.mid(comma + 1, end < 0 ? -1 : end - comma - 1));
    }
}

void VocabularyTables::loadList(const QString& name, const char* openWarning, QStringList& list) {
    readLines(name, openWarning, nullptr, list);
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
    QStringList lines;
    if (readLines(name, "Voice Transcribe , open software file failed !", &m_lastSoftware, lines) != Merge::Merged)
        return;
    for (const QString& line : qAsConst(lines)) {
        // name, executable, download page, found location (empty until the scanner fills it).
        const QVector<QStringRef> fields = line.splitRef(QLatin1Char(','));
        if (fields.size() < 3) {
            reportShortLine(name, line);
            continue;
        }
        const QStringRef found = fields.size() > 3 ? fields[3] : QStringRef();
        m_softwareTable.insert(fields[0].toString(), (found.isEmpty() ? fields[2] : found).toString());
    }
}

void VocabularyTables::loadWebSearch() {
    // Opened by its real path (any characters); a missing file is not worth a warning, since the
    // custom command editor creates it with the first web word.
    QFile file(pathOf(QStringLiteral("webSearch.txt")));
    if (!file.open(QIODevice::ReadOnly))
        return;
    const QByteArray data = file.readAll();
    if (data == m_lastWebSearch)
        return;
    m_lastWebSearch = data;
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
