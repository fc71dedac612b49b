#include "VocabularyFiles.h"
#include "commands/VocabularyTables.h"
#include "tests/support/MessageLog.h"
#include "tests/support/Rows.h"
#include "tests/support/TestDir.h"

#include <QtTest>

namespace {

using StringMap = QMap<QString, QString>;
using ByteMap = QMap<QByteArray, QByteArray>;

const QStringList pairFiles{"area.txt", "commandwords.txt", "live.txt", "system.txt"};
const QStringList listFiles{"Buy.txt", "Movie.txt", "Music.txt"};

// Writes the content to each file named and loads all nine.
void loadAs(VocabularyTables& tables, const TestDir& dir, const QStringList& files,
            const QByteArray& content) {
    for (const QString& name : files)
        dir.write(name, content);
    tables.loadAll();
}

} // namespace

Q_DECLARE_METATYPE(StringMap)
Q_DECLARE_METATYPE(ByteMap)

// The file, its first and second content, the age in seconds of each version's time, the value
// read at the end.
using Stamps = Rows<QString, QByteArray, QByteArray, int, int, QString>;

class TestVocabularyTables : public QObject {
    Q_OBJECT
private slots:
    void init() {
        m_dir = std::make_unique<TestDir>();
        m_log = std::make_unique<MessageLog>();
    }
    void cleanup() {
        m_log.reset();
        m_dir.reset();
    }

    // The same content in each two-field file gives the same map.
    void twoFieldFiles_data() {
        const Rows<QByteArray, StringMap, int> row; // content, map, warnings
        row("later line wins, empty lines skipped, blanks kept",
            gbkLines({"北京,beijing", "", " 上海 , shanghai ", "北京,peking"}),
            {{"北京", "peking"}, {" 上海 ", " shanghai "}}, 0);
        row("a comma in the path cuts the value; a leading comma gives an empty key",
            gbkLines({"报告,file:///D:/报告,2017.doc", ",http://all/"}),
            {{"报告", "file:///D:/报告"}, {"", "http://all/"}}, 0);
        row("lines without a comma are skipped with a warning", gbkLines({"孤零零", "   ", "天津,tianjin"}),
            {{"天津", "tianjin"}}, 2);
        row("LF line ends and no end on the last line", gbk("北京,beijing\n上海,shanghai"),
            {{"北京", "beijing"}, {"上海", "shanghai"}}, 0);
        row("UTF-8 byte-order mark", "\xEF\xBB\xBF" + QString("重庆,chongqing\r\n").toUtf8(),
            {{"重庆", "chongqing"}}, 0);
    }
    void twoFieldFiles() {
        const auto [content, expected, warnings] = Rows<QByteArray, StringMap, int>::fetch();
        VocabularyTables tables;
        loadAs(tables, *m_dir, pairFiles, content);
        QCOMPARE(tables.areaTable(), expected);
        QCOMPARE(tables.commandWordTable(), expected);
        QCOMPARE(tables.liveTable(), expected);
        QCOMPARE(tables.systemTable(), expected);
        QCOMPARE(m_log->warnings().filter("skipped").size(), warnings * 4);
    }

    void webSearch_data() {
        const Rows<QByteArray, ByteMap> row; // content, map
        row("first line wins; blanks and tabs separate; a third token is ignored; blank lines skipped",
            gbkLines({"  知乎 \t  https://a/   extra", "", "   ", "知乎 https://b/", "淘宝"}),
            {{gbk("知乎"), "https://a/"}, {gbk("淘宝"), ""}});
        row("LF only, last line without its end", gbk("知乎 https://a/\n淘宝 https://b/"),
            {{gbk("知乎"), "https://a/"}, {gbk("淘宝"), "https://b/"}});
        const QByteArray bom = "\xEF\xBB\xBF";
        row("a UTF-8 byte-order mark stays in the first keyword", bom + "bing https://b/\r\n",
            {{bom + "bing", "https://b/"}});
    }
    void webSearch() {
        const auto [content, expected] = Rows<QByteArray, ByteMap>::fetch();
        m_dir->write("webSearch.txt", content);
        VocabularyTables tables;
        tables.loadWebSearch();
        QCOMPARE(tables.webSearchTable(), expected);
    }

    // Software: field 4 once the scanner filled it, else field 3; the last record of a name wins.
    // Reloads merge into what is loaded: removed lines stay, changed values replace in the maps,
    // a site keeps its first address; a short software line is reported once per run.
    void reloadMergesIntoWhatIsLoaded() {
        const QStringList software{"微信,WeChat.exe,https://weixin.qq.com/,",
                                   "QQ,QQ.exe,https://im.qq.com/,file:///C:/a/QQ.exe",
                                   "QQ,QQ.exe,https://im.qq.com/,",
                                   "QQ,QQ.exe,https://im.qq.com/,file:///D:\\\\b\\\\QQ.exe",
                                   "钉钉,DingTalk.exe,https://www.dingtalk.com/",
                                   "短,short.exe"};
        m_dir->write("software.txt", gbkLines(software));
        m_dir->write("commandwords.txt", gbkLines({"工作,file:///D:/work", "照片,file:///D:/photos"}));
        m_dir->write("webSearch.txt", gbkLines({"知乎 https://a/"}));
        VocabularyTables tables;
        tables.loadAll();
        QCOMPARE(tables.softwareTable(), (StringMap{{"微信", "https://weixin.qq.com/"},
                                                    {"QQ", "file:///D:\\\\b\\\\QQ.exe"},
                                                    {"钉钉", "https://www.dingtalk.com/"}}));

        m_dir->write("software.txt", gbkLines(software + QStringList{"新,new.exe,http://new/,"}));
        m_dir->write("commandwords.txt", gbkLines({"工作,file:///E:/work", "音乐,file:///D:/music"}));
        m_dir->write("webSearch.txt", gbkLines({"知乎 https://changed/", "淘宝 https://b/"}));
        tables.reloadUserMaintained();
        QCOMPARE(tables.softwareTable().value("新"), QString("http://new/"));
        QCOMPARE(m_log->warnings().filter("software.txt").size(), 1);
        QCOMPARE(tables.commandWordTable(), (StringMap{{"工作", "file:///E:/work"},
                                                       {"照片", "file:///D:/photos"},
                                                       {"音乐", "file:///D:/music"}}));
        QCOMPARE(tables.webSearchTable(),
                 (ByteMap{{gbk("知乎"), "https://a/"}, {gbk("淘宝"), "https://b/"}}));

        // Back to the first content: its values apply again.
        m_dir->write("commandwords.txt", gbkLines({"工作,file:///D:/work", "照片,file:///D:/photos"}));
        tables.reloadUserMaintained();
        QCOMPARE(tables.commandWordTable().value("工作"), QString("file:///D:/work"));

        // A file that disappears leaves its table as it was.
        m_log->clear();
        QFile::remove(m_dir->file("commandwords.txt"));
        tables.reloadUserMaintained();
        QCOMPARE(tables.commandWordTable().size(), 3);
        QCOMPARE(m_log->warnings().filter("commandwords"),
                 QStringList{"Voice Transcribe , open commandwords file failed !"});
    }

    // A user-maintained file is read again when its size or modification time changed, or when it
    // was modified too recently for its time to tell; otherwise the loaded table stands.
    void reloadSkipsAnUnchangedFile_data() {
        const Stamps row;
        row("same size and time", "commandwords.txt", "k,AAAA", "k,BBBB", 60, 60, "AAAA");
        row("same size, new time", "commandwords.txt", "k,AAAA", "k,BBBB", 60, 30, "BBBB");
        row("new size, same time", "commandwords.txt", "k,AAAA", "k,BBBBB", 60, 60, "BBBBB");
        row("same size and time, but just written", "commandwords.txt", "k,AAAA", "k,BBBB", 0, 0, "BBBB");
        row("software.txt, same size and time", "software.txt", "k,x,AAAA,", "k,x,BBBB,", 60, 60, "AAAA");
        row("webSearch.txt, same size and time", "webSearch.txt", "k AAAA", "k BBBB", 60, 60, "AAAA");
    }
    void reloadSkipsAnUnchangedFile() {
        const auto [file, first, second, firstAge, secondAge, expected] = Stamps::fetch();
        const QDateTime now = QDateTime::fromSecsSinceEpoch(QDateTime::currentSecsSinceEpoch());
        VocabularyTables tables;
        for (const auto& [content, age] : {qMakePair(first, firstAge), qMakePair(second, secondAge)}) {
            m_dir->write(file, content);
            QFile f(m_dir->file(file));
            QVERIFY(f.open(QIODevice::ReadWrite));
            QVERIFY(f.setFileTime(now.addSecs(-age), QFileDevice::FileModificationTime));
            tables.reloadUserMaintained();
        }
        const QString value = file == "webSearch.txt"  ? QString(tables.webSearchTable().value("k"))
                              : file == "software.txt" ? tables.softwareTable().value("k")
                                                       : tables.commandWordTable().value("k");
        QCOMPARE(value, expected);
    }

    // In a working directory whose path holds Chinese characters, every missing file but
    // webSearch.txt is reported, and the files load once they are there; lists keep every line.
    void chineseWorkingDirectory() {
        m_dir.reset(); // restores the previous directory before the next one is entered
        m_dir = std::make_unique<TestDir>(QStringLiteral("语音鼠标/数据"));
        QVERIFY(QDir::currentPath().endsWith(QStringLiteral("语音鼠标/数据")));
        m_log->clear();
        VocabularyTables tables;
        tables.loadAll();
        QStringList expected;
        for (const char* name :
             {"area", "live", "movie", "music", "buy", "system", "commandwords", "software"})
            expected << QString("Voice Transcribe , open %1 file failed !").arg(name);
        QCOMPARE(m_log->warnings(), expected);

        m_dir->write("software.txt", gbkLines({"键,k.exe,http://k/,"}));
        m_dir->write("webSearch.txt", gbkLines({"键 http://w/"}));
        loadAs(tables, *m_dir, listFiles, gbkLines({"手机", "", "电脑", "手机", "  ", "a,b"}));
        const QStringList list{"手机", "电脑", "手机", "  ", "a,b"}; // file order, duplicates kept
        QCOMPARE(tables.buyList(), list);
        QCOMPARE(tables.movieList(), list);
        QCOMPARE(tables.musicList(), list);
        loadAs(tables, *m_dir, pairFiles, gbkLines({"键,值"}));
        QCOMPARE(tables.areaTable(), (StringMap{{"键", "值"}}));
        QCOMPARE(tables.softwareTable(), (StringMap{{"键", "http://k/"}}));
        QCOMPARE(tables.webSearchTable(), (ByteMap{{gbk("键"), "http://w/"}}));
    }

private:
    std::unique_ptr<TestDir> m_dir;
    std::unique_ptr<MessageLog> m_log;
};

QTEST_GUILESS_MAIN(TestVocabularyTables)
#include "tst_vocabularytables.moc"
