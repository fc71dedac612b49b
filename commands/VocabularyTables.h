#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QMap>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QVector>

// The nine vocabulary tables of intelligent mode and their loaders. Every file lies in the working
// directory and is GBK text (a byte-order mark switches to UTF-8/16/32); readers accept LF and
// CR LF. No loader empties its table: a reload merges the file into what is loaded, so a removed
// line stays active until restart. Maps replace the value of a present key (the last line wins),
// except webSearchTable, which keeps the first value; the lists keep every line, duplicates included.
class VocabularyTables {
public:
    // All nine files, once at start: the six shipped files and the three user-maintained ones.
    void loadAll();
    // The six shipped files (area, live, Movie, Music, Buy, system, in this order); read once, since
    // they change only with a new version of the program.
    void loadShipped();
    // The three files that the custom command editor and the application scanner rewrite while the
    // program runs: commandwords.txt, webSearch.txt, software.txt, in this order (before every utterance).
    void reloadUserMaintained();

    void loadArea();
    void loadBuy();
    void loadCommandWords();
    void loadLive();
    void loadMovie();
    void loadMusic();
    void loadSoftware();
    void loadSystem();
    void loadWebSearch();

    // Site keyword (GBK bytes) → URL prefix (UTF-8 bytes), in unsigned byte order of the keys.
    const QMap<QByteArray, QByteArray>& webSearchTable() const { return m_webSearchTable; }
    const QMap<QString, QString>& softwareTable() const { return m_softwareTable; }
    const QMap<QString, QString>& commandWordTable() const { return m_commandWordTable; }
    const QMap<QString, QString>& areaTable() const { return m_areaTable; }
    const QMap<QString, QString>& liveTable() const { return m_liveTable; }
    const QMap<QString, QString>& systemTable() const { return m_systemTable; }
    const QStringList& musicList() const { return m_musicList; }
    const QStringList& movieList() const { return m_movieList; }
    const QStringList& buyList() const { return m_buyList; }

private:
    enum class Merge { Unchanged, Merged, Failed };
    // Size and modification time of a file when it was last merged; an empty stamp matches none.
    struct FileStamp {
        qint64 size = -1;
        QDateTime modified;
        bool operator==(const FileStamp& other) const {
            return size == other.size && modified == other.modified;
        }
    };
    static FileStamp stampOf(const QString& path);
    // Reads a file of the working directory, unless the stamp shows it unchanged since it was
    // last merged (merging the same content twice gives the same table); then updates the stamp.
    static Merge readBytes(const QString& path, FileStamp* lastMerged, QByteArray& data);
    // Reads and decodes a file of the working directory, warning when it cannot be opened.
    Merge readText(const QString& name, const char* openWarning, FileStamp* lastMerged, QString& text);
    // The lines of a text without their LF or CR LF; empty lines left out, all-blank lines kept.
    static QVector<QStringRef> nonEmptyLines(const QString& text);
    static void mergeValue(QMap<QString, QString>& table, const QStringRef& key, const QStringRef& value);
    void loadPairs(const QString& name, const char* openWarning, QMap<QString, QString>& table,
                   FileStamp* lastMerged = nullptr);
    void loadList(const QString& name, const char* openWarning, QStringList& list);
    // Warns once per run about a line that lacks fields (the file is re-read before every utterance).
    void reportShortLine(const QString& name, const QStringRef& line);

    QMap<QByteArray, QByteArray> m_webSearchTable;
    QMap<QString, QString> m_softwareTable;
    QMap<QString, QString> m_commandWordTable;
    QMap<QString, QString> m_areaTable;
    QMap<QString, QString> m_liveTable;
    QMap<QString, QString> m_systemTable;
    QStringList m_musicList;
    QStringList m_movieList;
    QStringList m_buyList;

    FileStamp m_lastCommandWords;
    FileStamp m_lastSoftware;
    FileStamp m_lastWebSearch;
    QSet<QString> m_reportedLines;
};
