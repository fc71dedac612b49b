#include "VocabularyFiles.h"
#include "commands/VocabularyTables.h"
#include "tests/support/MessageLog.h"
#include "tests/support/Rows.h"
#include "tests/support/TestDir.h"

#include <QtTest>

namespace {

using StringMap = QMap<QString, QString>;
using ByteMap = QMap<QByteArray, QByteArray>;

} // namespace

Q_DECLARE_METATYPE(StringMap)
Q_DECLARE_METATYPE(ByteMap)

// The first and second content of commandwords.txt, the age in seconds of each version's time, the
// value read at the end.
using Stamps = Rows<QByteArray, QByteArray, int, int, QString>;

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
        row("UTF-8 byte-order mark, LF line ends, no end on the last line",
            "\xEF\xBB\xBF" + QString("重庆,chongqing\n北京,beijing").toUtf8(),
            {{"重庆", "chongqing"}, {"北京", "beijing"}}, 0);
    }
    void twoFieldFiles() {
        const auto [content, expected, warnings] = Rows<QByteArray, StringMap, int>::fetch();
        for (const char* name : {"area.txt", "commandwords.txt", "live.txt", "system.txt"})
            m_dir->write(name, content);
        VocabularyTables tables;
        tables.loadAll();
        QCOMPARE(tables.areaTable(), expected);
        QCOMPARE(tables.commandWordTable(), expected);
        QCOMPARE(tables.liveTable(), expected);
        QCOMPARE(tables.systemTable(), expected);
        QCOMPARE(m_log->warnings().filter("skipped").size(), warnings * 4);
    }

    // Software: field 4 once the scanner filled it, else field 3; the last record of a name wins.
    // Reloads merge into what is loaded: removed lines stay, changed values replace in the maps,
    // a site keeps its first address (blank lines are no sites, a third token is ignored); a short
    // software line is reported once per run.
    void reloadMergesIntoWhatIsLoaded() {
        const QStringList software{"微信,WeChat.exe,https://weixin.qq.com/,",
                                   "QQ,QQ.exe,https://im.qq.com/,file:///C:/a/QQ.exe",
                                   "QQ,QQ.exe,https://im.qq.com/,file:///D:\\\\b\\\\QQ.exe",
                                   "钉钉,DingTalk.exe,https://www.dingtalk.com/", "短,short.exe"};
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
        m_dir->write("webSearch.txt", gbkLines({"知乎 https://changed/", "", " \t", "淘宝 https://b/ more"}));
        tables.reloadUserMaintained();
        QCOMPARE(tables.softwareTable().value("新"), QString("http://new/"));
        QCOMPARE(m_log->warnings().filter("software.txt").size(), 1);
        const StringMap words{
            {"工作", "file:///E:/work"}, {"照片", "file:///D:/photos"}, {"音乐", "file:///D:/music"}};
        QCOMPARE(tables.commandWordTable(), words);
        QCOMPARE(tables.webSearchTable(),
                 (ByteMap{{gbk("知乎"), "https://a/"}, {gbk("淘宝"), "https://b/"}}));
    }

    // commandwords.txt is read again when its size or modification time changed, or when it was
    // modified too recently for its time to tell; otherwise the loaded table stands.
    void reloadSkipsAnUnchangedFile_data() {
        const Stamps row;
        row("same size and time", "k,AAAA", "k,BBBB", 60, 60, "AAAA");
        row("same size, new time", "k,AAAA", "k,BBBB", 60, 30, "BBBB");
        row("new size, same time", "k,AAAA", "k,BBBBB", 60, 60, "BBBBB");
        row("same size and time, but just written", "k,AAAA", "k,BBBB", 0, 0, "BBBB");
    }
    void reloadSkipsAnUnchangedFile() {
        const auto [first, second, firstAge, secondAge, expected] = Stamps::fetch();
        const QDateTime now = QDateTime::fromSecsSinceEpoch(QDateTime::currentSecsSinceEpoch());
        VocabularyTables tables;
        for (const auto& [content, age] : {qMakePair(first, firstAge), qMakePair(second, secondAge)}) {
            m_dir->write("commandwords.txt", content);
            QFile f(m_dir->file("commandwords.txt"));
            QVERIFY(f.open(QIODevice::ReadWrite));
            QVERIFY(f.setFileTime(now.addSecs(-age), QFileDevice::FileModificationTime));
            tables.reloadUserMaintained();
        }
        QCOMPARE(tables.commandWordTable().value("k"), expected);
    }

private:
    std::unique_ptr<TestDir> m_dir;
    std::unique_ptr<MessageLog> m_log;
};

QTEST_GUILESS_MAIN(TestVocabularyTables)
#include "tst_vocabularytables.moc"
