#include "VocabularyFiles.h"
#include "commands/CommandInterpreter.h"
#include "commands/CommandText.h"
#include "commands/VocabularyTables.h"
#include "tests/support/Rows.h"
#include "tests/support/TestDir.h"

#include <QtTest>

Q_DECLARE_METATYPE(CommandAction::Kind)
using Stage = Rows<QString, CommandAction::Kind, QString>;

namespace {

const QString translate = "https://fanyi.baidu.com/translate?query=";
const QString dictSuffix = "&keyfrom=baidu&smartresult=dict&lang=auto2en#zh/en/";
const QString search = "https://www.baidu.com/s?wd=";
const QString weather = "https://www.baidu.com/s?ie=utf-8&f=8&rsv_bp=1&rsv_idx=2&tn=baiduhome_pg&wd=";

} // namespace

// Which stage takes a spoken command, and the page it opens.
class TestCommandInterpreter : public QObject {
    Q_OBJECT
    TestDir m_dir;
    VocabularyTables m_tables;

private slots:
    void initTestCase() {
        m_dir.write("commandwords.txt", gbkLines({"工作,file:///D:/work", "音乐,file:///D:/music"}));
        m_dir.write("software.txt",
                    gbkLines({"音乐,music.exe,http://dl/music,", "计算器,calc.exe,http://dl/calc,"}));
        m_dir.write("system.txt", gbkLines({"计算器,file:///sys/calc", "控制面板,file:///sys/control"}));
        m_dir.write("webSearch.txt",
                    gbkLines({"知乎 https://www.zhihu.com/search?q=", "百度翻译 " + translate,
                              "淘宝网 https://www.taobao.com/", "淘宝 https://s.taobao.com/search?q="}));
        m_dir.write("area.txt", gbkLines({"上海,shanghai"}));
        m_dir.write("live.txt", gbkLines({"快递,https://www.kuaidi100.com/"}));
        m_dir.write("Movie.txt", gbkLines({"流浪地球", "战狼"}));
        m_dir.write("Buy.txt", gbkLines({"手机"}));
        m_dir.write("Music.txt", gbkLines({"周杰伦", "稻香"}));
        m_tables.loadAll();
    }

    // Each row is named by its command text; the comments say what it guards.
    void stages_data() {
        const Stage table; // text, kind, URL
        const auto open = CommandAction::OpenUrl;
        // An utterance that holds a sentence mark is cut there whatever follows: such rows are
        // command texts only.
        const bool utterances = QByteArray(QTest::currentTestFunction()) == "utterances";
        auto row = [&](const char* text, CommandAction::Kind kind, const QString& url) {
            if (!utterances || CommandText::fromUtterance(text + QStringLiteral("。")) == text)
                table(*text ? text : "(empty)", text, kind, url);
        };
        const QString zhihu = "https://www.zhihu.com/search?q=";
        const QString dictionary = translate + "苹果" + dictSuffix;

        // Stage 1 and the exact-name stages 2, 3 and 14.
        row("关闭微信", CommandAction::Notice, "");
        row("请关闭微信", open, search + "请关闭微信");   // 关闭 only at the start
        row("打开工作吧", open, search + "打开工作吧");   // a further character: no longer equal
        row("打开音乐", open, "file:///D:/music");        // command word before application
        row("打开计算器", open, "http://dl/calc");        // application before system item
        row("打开控制面板", open, "file:///sys/control"); // system item

        // Stage 4: site keywords.
        row("打开知乎", open, zhihu); // the site alone opens its address
        row("在知乎看电影", open, zhihu + "%E7%94%B5%E5%BD%B1");
        row("知乎搜索猫搜索狗", open, zhihu + "%E7%8C%AB"); // the piece up to the next 搜索
        row("知乎搜索a b/c-d_e.f~g+h", open, zhihu + "a%20b%2Fc-d_e.f~g%2Bh"); // only unreserved stay
        row("打开淘宝网", open, "https://s.taobao.com/search?q=");             // the shorter prefix wins

        // Stages 5, 6, 7: air quality, daily-life links, nearby.
        row("上海空气质量", CommandAction::None, ""); // no city without 的, nothing later
        row("上海的空气和天气", open, "http://www.tianqihoubao.com/aqi/shanghai.html");
        row("附近有什么好吃的", CommandAction::None, "");
        row("附近的快递", open, "https://www.kuaidi100.com/"); // a daily-life link before nearby

        // Stage 8: dictionary, else on to the next stages.
        row("苹果的英文", open, dictionary);
        row("苹果用英语怎么翻译", open, dictionary);
        row("把苹果翻译成英文", open, dictionary);
        row("英语天气", open, weather + "英语天气天气");

        // Stage 9: weather.
        row("北京的天气", open, weather + "北京天气");
        row("明天北京下雨吗", open, weather + "天气");

        // Stages 10, 11, 12: films, goods, music; a listed entry is found in file order.
        row("看战狼还是流浪地球", open, "http://www.baidu.com/s?wd=流浪地球");
        row("看复仇者联盟", open, "http://so.youku.com/search_video/q_复仇者联盟");
        row("买一部华为手机", open, "http://search.jd.com/Search?keyword=手机&enc=utf-8");
        row("我要买一双鞋", open, "https://list.tmall.com/search_product.htm?q=一双鞋");
        row("听稻香周杰伦", open, "http://music.163.com/#/search/m/?s=周杰伦");
        row("听小幸运", open,
            "https://y.qq.com/portal/search.html#page=" + QString(28, ' ') +
                "1&searchid=1&remoteplace=txt.yqq.top&t=song&w=小幸运");

        // Stage 13: food; without 吃 the whole text.
        row("我想吃火锅", open, "http://bj.meituan.com/s/?w=%E7%81%AB%E9%94%85");
        row("推荐餐厅", open, "http://bj.meituan.com/s/?w=%E6%8E%A8%E8%8D%90%E9%A4%90%E5%8E%85");

        // Stages 15 and 16: 蜘蛛纸牌 before 纸牌; anything else is searched unencoded.
        row("玩蜘蛛纸牌", open,
            "file:///C://Program Files//Microsoft Games//SpiderSolitaire//SpiderSolitaire.exe");
        row("今天星期几 a&b", open, search + "今天星期几 a&b");
        row("", CommandAction::None, "");
    }
    void stages() {
        const auto [text, kind, url] = Stage::fetch();
        const CommandAction action = CommandInterpreter(m_tables).interpret(text);
        QCOMPARE(action.kind, kind);
        QCOMPARE(action.url, url);
    }

    // Spoken with a closing mark or with none at all (the offline engine writes none), each
    // utterance acts as its command text does.
    void utterances_data() { stages_data(); }
    void utterances() {
        const auto [text, kind, url] = Stage::fetch();
        for (const QString& utterance : {text + QStringLiteral("。"), text}) {
            const CommandAction action =
                CommandInterpreter(m_tables).interpret(CommandText::fromUtterance(utterance));
            QCOMPARE(action.kind, kind);
            QCOMPARE(action.url, url);
        }
    }
};

QTEST_GUILESS_MAIN(TestCommandInterpreter)
#include "tst_commandinterpreter.moc"
