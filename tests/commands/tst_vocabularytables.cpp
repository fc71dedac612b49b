#include "VocabularyFiles.h"
#include "commands/VocabularyTables.h"
#include "tests/support/TestDir.h"

#include <QtTest>
#include <memory>

namespace {

QStringList capturedWarnings;

void captureWarnings(QtMsgType type, const QMessageLogContext&, const QString& message) {
    if (type == QtWarningMsg)
        capturedWarnings.append(message);
}

using Loader = void (VocabularyTables::*)();
using PairTable = const QMap<QString, QString>& (VocabularyTables::*)() const;
using ListTable = const QStringList& (VocabularyTables::*)() const;

struct PairFile {
    const char* name;
    Loader load;
    PairTable table;
};

const PairFile pairFiles[] = {
    {"area.txt", &VocabularyTables::loadArea, &VocabularyTables::areaTable},
    {"commandwords.txt", &VocabularyTables::loadCommandWords, &VocabularyTables::commandWordTable},
    {"live.txt", &VocabularyTables::loadLive, &VocabularyTables::liveTable},
    {"system.txt", &VocabularyTables::loadSystem, &VocabularyTables::systemTable},
};

struct ListFile {
    const char* name;
    Loader load;
    ListTable list;
};

const ListFile listFiles[] = {
    {"Buy.txt", &VocabularyTables::loadBuy, &VocabularyTables::buyList},
    {"Movie.txt", &VocabularyTables::loadMovie, &VocabularyTables::movieList},
    {"Music.txt", &VocabularyTables::loadMusic, &VocabularyTables::musicList},
};

using StringMap = QMap<QString, QString>;
using ByteMap = QMap<QByteArray, QByteArray>;

} // namespace

Q_DECLARE_METATYPE(StringMap)
Q_DECLARE_METATYPE(ByteMap)

class TestVocabularyTables : public QObject {
    Q_OBJECT
private slots:
    void init() {
        m_dir = std::make_unique<TestDir>();
        capturedWarnings.clear();
        m_previousHandler = qInstallMessageHandler(captureWarnings);
    }
    void cleanup() {
        qInstallMessageHandler(m_previousHandler);
        m_dir.reset();
    }

    // The same content in each two-field file gives the same map.
    void twoFieldFiles_data() {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<StringMap>("expected");
        QTest::addColumn<int>("warnings");
        QTest::newRow("duplicate key: the later line wins")
            << gbkLines({"北京,beijing", "上海,shanghai", "北京,peking"})
            << StringMap{{"北京", "peking"}, {"上海", "shanghai"}} << 0;
        QTest::newRow("three fields: the third is ignored")
            << gbkLines({"工作,file:///D:/工作,多余"}) << StringMap{{"工作", "file:///D:/工作"}} << 0;
        QTest::newRow("a comma in the path cuts the value")
            << gbkLines({"报告,file:///D:/报告,2017.doc"}) << StringMap{{"报告", "file:///D:/报告"}} << 0;
        QTest::newRow("blanks belong to the fields")
            << gbkLines({" 北京 , beijing ", "   "}) << StringMap{{" 北京 ", " beijing "}} << 1;
        QTest::newRow("empty lines are skipped")
            << gbkLines({"", "快递,http://a/", "", "", "机票,http://b/"})
            << StringMap{{"快递", "http://a/"}, {"机票", "http://b/"}} << 0;
        QTest::newRow("a leading comma gives an empty key")
            << gbkLines({",http://all/"}) << StringMap{{"", "http://all/"}} << 0;
        QTest::newRow("a line without a comma is skipped with a warning")
            << gbkLines({"孤零零", "天津,tianjin"}) << StringMap{{"天津", "tianjin"}} << 1;
        QTest::newRow("LF line ends and no end on the last line")
            << QByteArray(gbk("北京,beijing\n上海,shanghai"))
            << StringMap{{"北京", "beijing"}, {"上海", "shanghai"}} << 0;
        QTest::newRow("UTF-8 byte-order mark")
            << QByteArray("\xEF\xBB\xBF" + QString("重庆,chongqing\r\n").toUtf8())
            << StringMap{{"重庆", "chongqing"}} << 0;
        QTest::newRow("UTF-16 byte-order mark")
            << QByteArray("\xFF\xFE", 2) +
                   QByteArray(reinterpret_cast<const char*>(QString("成都,chengdu\r\n").utf16()), 2 * 12)
            << StringMap{{"成都", "chengdu"}} << 0;
    }
    void twoFieldFiles() {
        QFETCH(QByteArray, content);
        QFETCH(StringMap, expected);
        QFETCH(int, warnings);
        for (const PairFile& file : pairFiles) {
            m_dir->write(file.name, content);
            VocabularyTables tables;
            (tables.*file.load)();
            QCOMPARE((tables.*file.table)(), expected);
        }
        // A short line is reported once per file.
        QCOMPARE(capturedWarnings.size(), warnings * int(std::size(pairFiles)));
    }

    void lists_data() {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("file order, duplicates kept, empty lines skipped")
            << gbkLines({"手机", "", "电脑", "手机", "  ", "a,b"})
            << QStringList{"手机", "电脑", "手机", "  ", "a,b"};
        QTest::newRow("UTF-8 byte-order mark")
            << QByteArray("\xEF\xBB\xBF" + QString("稻香\r\n晴天").toUtf8()) << QStringList{"稻香", "晴天"};
    }
    void lists() {
        QFETCH(QByteArray, content);
        QFETCH(QStringList, expected);
        for (const ListFile& file : listFiles) {
            m_dir->write(file.name, content);
            VocabularyTables tables;
            (tables.*file.load)();
            QCOMPARE((tables.*file.list)(), expected);
        }
        QVERIFY2(capturedWarnings.isEmpty(), qPrintable(capturedWarnings.join('\n')));
    }

    void software_data() {
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<StringMap>("expected");
        QTest::addColumn<int>("warnings");
        QTest::newRow("field 3 while field 4 is empty")
            << QStringList{"微信,WeChat.exe,https://weixin.qq.com/,"}
            << StringMap{{"微信", "https://weixin.qq.com/"}} << 0;
        QTest::newRow("field 4 when the scanner filled it")
            << QStringList{"微信,WeChat.exe,https://weixin.qq.com/,file:///C:\\\\Tencent\\\\WeChat.exe"}
            << StringMap{{"微信", "file:///C:\\\\Tencent\\\\WeChat.exe"}} << 0;
        QTest::newRow("the last record of a name wins")
            << QStringList{"QQ,QQ.exe,https://im.qq.com/,file:///C:/a/QQ.exe",
                           "QQ,QQ.exe,https://im.qq.com/,",
                           "QQ,QQ.exe,https://im.qq.com/,file:///D:/b/QQ.exe"}
            << StringMap{{"QQ", "file:///D:/b/QQ.exe"}} << 0;
        QTest::newRow("three fields: the download page")
            << QStringList{"钉钉,DingTalk.exe,https://www.dingtalk.com/"}
            << StringMap{{"钉钉", "https://www.dingtalk.com/"}} << 0;
        QTest::newRow("two fields are skipped with a warning")
            << QStringList{"钉钉,DingTalk.exe", "WPS,wps.exe,https://www.wps.cn/,"}
            << StringMap{{"WPS", "https://www.wps.cn/"}} << 1;
    }
    void software() {
        QFETCH(QStringList, lines);
        QFETCH(StringMap, expected);
        QFETCH(int, warnings);
        m_dir->write("software.txt", gbkLines(lines));
        VocabularyTables tables;
        tables.loadSoftware();
        QCOMPARE(tables.softwareTable(), expected);
        QCOMPARE(capturedWarnings.size(), warnings);
        // The file is re-read before every utterance: a short line is reported once per run.
        m_dir->write("software.txt", gbkLines(lines + QStringList{"新,new.exe,http://new/,"}));
        tables.reloadUserMaintained();
        QCOMPARE(tables.softwareTable().value("新"), QString("http://new/"));
        QCOMPARE(capturedWarnings.filter("software.txt").size(), warnings);
    }

    void webSearch_data() {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<ByteMap>("expected");
        QTest::newRow("duplicate keyword: the first line wins")
            << gbkLines({"知乎 https://a/", "知乎 https://b/"}) << ByteMap{{gbk("知乎"), "https://a/"}};
        QTest::newRow("several blanks and tabs, a third token ignored")
            << gbkLines({"  知乎 \t  https://a/   extra"}) << ByteMap{{gbk("知乎"), "https://a/"}};
        QTest::newRow("one token: empty address") << gbkLines({"知乎"}) << ByteMap{{gbk("知乎"), ""}};
        QTest::newRow("a keyword with a blank splits into key and value")
            << gbkLines({"百度 地图 https://map/"}) << ByteMap{{gbk("百度"), gbk("地图")}};
        QTest::newRow("blank lines are no records")
            << gbkLines({"", "   ", "知乎 https://a/", ""}) << ByteMap{{gbk("知乎"), "https://a/"}};
        QTest::newRow("LF only, last line without its end")
            << QByteArray(gbk("知乎 https://a/\n淘宝 https://b/"))
            << ByteMap{{gbk("知乎"), "https://a/"}, {gbk("淘宝"), "https://b/"}};
        QTest::newRow("a UTF-8 byte-order mark stays in the first keyword")
            << QByteArray("\xEF\xBB\xBF"
                          "bing https://b/\r\n")
            << ByteMap{{"\xEF\xBB\xBF"
                        "bing",
                        "https://b/"}};
    }
    void webSearch() {
        QFETCH(QByteArray, content);
        QFETCH(ByteMap, expected);
        m_dir->write("webSearch.txt", content);
        VocabularyTables tables;
        tables.loadWebSearch();
        QCOMPARE(tables.webSearchTable(), expected);
    }

    void webSearchKeysInUnsignedByteOrder() {
        m_dir->write("webSearch.txt", gbkLines({"淘宝网 https://c/", "zhihu https://a/", "淘宝 https://b/"}));
        VocabularyTables tables;
        tables.loadWebSearch();
        // ASCII before GBK lead bytes (>= 0x81), and a key before the longer keys it begins.
        QCOMPARE(tables.webSearchTable().keys(), (QList<QByteArray>{"zhihu", gbk("淘宝"), gbk("淘宝网")}));
    }

    void missingFilesWarnExceptWebSearch() {
        VocabularyTables tables;
        tables.loadAll();
        QCOMPARE(capturedWarnings, (QStringList{
                                       "Voice Transcribe , open area file failed !",
                                       "Voice Transcribe , open live file failed !",
                                       "Voice Transcribe , open movie file failed !",
                                       "Voice Transcribe , open music file failed !",
                                       "Voice Transcribe , open buy file failed !",
                                       "Voice Transcribe , open system file failed !",
                                       "Voice Transcribe , open commandwords file failed !",
                                       "Voice Transcribe , open software file failed !",
                                   }));
    }

    void reloadMergesIntoWhatIsLoaded() {
        m_dir->write("commandwords.txt", gbkLines({"工作,file:///D:/work", "照片,file:///D:/photos"}));
        m_dir->write("software.txt", gbkLines({"微信,WeChat.exe,https://weixin.qq.com/,"}));
        m_dir->write("webSearch.txt", gbkLines({"知乎 https://a/"}));
        VocabularyTables tables;
        tables.loadAll();

        // Removed lines stay, changed values replace in the maps, the site keeps its first address.
        m_dir->write("commandwords.txt", gbkLines({"工作,file:///E:/work", "音乐,file:///D:/music"}));
        m_dir->write("software.txt",
                     gbkLines({"微信,WeChat.exe,https://weixin.qq.com/,file:///C:/WeChat.exe"}));
        m_dir->write("webSearch.txt", gbkLines({"知乎 https://changed/", "淘宝 https://b/"}));
        tables.reloadUserMaintained();
        QCOMPARE(tables.commandWordTable(), (StringMap{{"工作", "file:///E:/work"},
                                                       {"照片", "file:///D:/photos"},
                                                       {"音乐", "file:///D:/music"}}));
        QCOMPARE(tables.softwareTable(), (StringMap{{"微信", "file:///C:/WeChat.exe"}}));
        QCOMPARE(tables.webSearchTable(),
                 (ByteMap{{gbk("知乎"), "https://a/"}, {gbk("淘宝"), "https://b/"}}));

        // Back to the first content: its values apply again.
        m_dir->write("commandwords.txt", gbkLines({"工作,file:///D:/work", "照片,file:///D:/photos"}));
        tables.reloadUserMaintained();
        QCOMPARE(tables.commandWordTable().value("工作"), QString("file:///D:/work"));

        // A file that disappears leaves its table as it was.
        capturedWarnings.clear();
        QFile::remove(m_dir->file("commandwords.txt"));
        tables.reloadUserMaintained();
        QCOMPARE(tables.commandWordTable().size(), 3);
        QCOMPARE(capturedWarnings, QStringList{"Voice Transcribe , open commandwords file failed !"});
    }

    void reloadingTheSameContentChangesNothing() {
        m_dir->write("commandwords.txt", gbkLines({"a,1", "b,2", "a,3"}));
        m_dir->write("software.txt", gbkLines({"x,x.exe,http://x/,", "x,x.exe,http://y/,"}));
        VocabularyTables tables;
        tables.loadCommandWords();
        tables.loadSoftware();
        tables.reloadUserMaintained();
        tables.reloadUserMaintained();
        QCOMPARE(tables.commandWordTable(), (StringMap{{"a", "3"}, {"b", "2"}}));
        QCOMPARE(tables.softwareTable(), (StringMap{{"x", "http://y/"}}));
    }

    // All nine load from a working directory whose path holds Chinese characters.
    void chineseWorkingDirectory() {
        m_dir.reset(); // restores the previous directory before the next one is entered
        m_dir = std::make_unique<TestDir>(QStringLiteral("语音鼠标/数据"));
        capturedWarnings.clear();
        QVERIFY2(QDir::currentPath().endsWith(QStringLiteral("语音鼠标/数据")),
                 qPrintable(QDir::currentPath()));
        const char* pairs[] = {"area.txt", "commandwords.txt", "live.txt", "system.txt"};
        for (const char* name : pairs)
            m_dir->write(name, gbkLines({"键,值"}));
        for (const char* name : {"Buy.txt", "Movie.txt", "Music.txt"})
            m_dir->write(name, gbkLines({"条目"}));
        m_dir->write("software.txt", gbkLines({"键,k.exe,http://k/,"}));
        m_dir->write("webSearch.txt", gbkLines({"键 http://w/"}));
        VocabularyTables tables;
        tables.loadAll();
        QVERIFY2(capturedWarnings.isEmpty(), qPrintable(capturedWarnings.join('\n')));
        const StringMap one{{"键", "值"}};
        QCOMPARE(tables.areaTable(), one);
        QCOMPARE(tables.commandWordTable(), one);
        QCOMPARE(tables.liveTable(), one);
        QCOMPARE(tables.systemTable(), one);
        QCOMPARE(tables.buyList(), QStringList{"条目"});
        QCOMPARE(tables.movieList(), QStringList{"条目"});
        QCOMPARE(tables.musicList(), QStringList{"条目"});
        QCOMPARE(tables.softwareTable(), (StringMap{{"键", "http://k/"}}));
        QCOMPARE(tables.webSearchTable(), (ByteMap{{gbk("键"), "http://w/"}}));
    }

private:
    std::unique_ptr<TestDir> m_dir;
    QtMessageHandler m_previousHandler = nullptr;
};

QTEST_GUILESS_MAIN(TestVocabularyTables)
#include "tst_vocabularytables.moc"
