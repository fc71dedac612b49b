#include "commands/CommandInterpreter.h"
#include "commands/VocabularyTables.h"
#include "tests/support/MessageLog.h"
#include "tests/support/TestDir.h"

#include <QRegularExpression>
#include <QTextCodec>
#include <QtTest>
#include <memory>

// The vocabulary files shipped in data/: their encoding, line ends and fields, and that the
// program loads them as they are staged for each platform.
namespace {

enum class Format { Pairs, Software, WebSearch, List, Empty };

struct Shipped {
    const char* name;
    Format format;
};

const Shipped shippedFiles[] = {
    {"area.txt", Format::Pairs},          {"live.txt", Format::Pairs},
    {"system.txt", Format::Pairs},        {"software.txt", Format::Software},
    {"webSearch.txt", Format::WebSearch}, {"Buy.txt", Format::List},
    {"Movie.txt", Format::List},          {"Music.txt", Format::List},
    {"commandwords.txt", Format::Empty},
};

const char* const platforms[] = {"linux", "win"};

// The file as staged for the platform: its own version, else the common one.
QString stagedPath(const QString& platform, const QString& name) {
    const QString own = TestDir::dataDir() + '/' + platform + '/' + name;
    return QFile::exists(own) ? own : TestDir::dataDir() + '/' + name;
}

} // namespace

class TestShippedVocabulary : public QObject {
    Q_OBJECT
private slots:
    void format_data() {
        QTest::addColumn<QString>("path");
        QTest::addColumn<int>("format");
        for (const char* platform : platforms)
            for (const Shipped& file : shippedFiles)
                QTest::newRow(qPrintable(QString(platform) + '/' + file.name))
                    << stagedPath(platform, file.name) << int(file.format);
    }
    void format() {
        QFETCH(QString, path);
        QFETCH(int, format);
        QFile file(path);
        QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(path));
        const QByteArray data = file.readAll();
        if (Format(format) == Format::Empty) {
            QCOMPARE(data, QByteArray());
            return;
        }
        QVERIFY(!data.isEmpty());
        QVERIFY2(!data.startsWith("\xEF\xBB\xBF"), "no byte-order mark");

        // GBK throughout: decodes without a replacement and encodes back to the same bytes.
        QTextCodec* gbk = QTextCodec::codecForName("GBK");
        QTextCodec::ConverterState state;
        const QString text = gbk->toUnicode(data.constData(), data.size(), &state);
        QCOMPARE(state.invalidChars, 0);
        QCOMPARE(gbk->fromUnicode(text), data);

        // CR LF after every line, the last one included, and nowhere else.
        QVERIFY(data.endsWith("\r\n"));
        QCOMPARE(data.count("\r\n"), data.count('\n'));
        QCOMPARE(data.count('\r'), data.count('\n'));

        QStringList lines = text.split("\r\n");
        lines.removeLast();
        QSet<QString> keys;
        for (const QString& line : qAsConst(lines)) {
            QVERIFY2(!line.isEmpty() && line.trimmed() == line, qPrintable(path + ": '" + line + "'"));
            QString key;
            switch (Format(format)) {
            case Format::Pairs: {
                const QStringList fields = line.split(',');
                QVERIFY2(fields.size() == 2 && !fields[0].isEmpty() && !fields[1].isEmpty(),
                         qPrintable(line));
                key = fields[0];
                if (path.endsWith("area.txt"))
                    QVERIFY2(QRegularExpression("^[a-z]+$").match(fields[1]).hasMatch(), qPrintable(line));
                else
                    QVERIFY2(QRegularExpression("^(https?://[^ ]+|file:///.*)$").match(fields[1]).hasMatch(),
                             qPrintable(line));
                break;
            }
            case Format::Software: {
                const QStringList fields = line.split(',');
                QVERIFY2(fields.size() == 4, qPrintable(line));
                QVERIFY2(!fields[0].isEmpty() && !fields[1].isEmpty() && fields[3].isEmpty(),
                         qPrintable(line));
                QVERIFY2(fields[2].startsWith("https://") || fields[2].startsWith("http://"),
                         qPrintable(line));
                key = fields[0];
                break;
            }
            case Format::WebSearch: {
                const QStringList tokens = line.split(' ');
                QVERIFY2(tokens.size() == 2 && !tokens[0].isEmpty(), qPrintable(line));
                QVERIFY2(tokens[1].startsWith("https://") || tokens[1].startsWith("http://"),
                         qPrintable(line));
                QVERIFY2(!tokens[1].contains('\t'), qPrintable(line));
                // A keyword holding "搜" or "看" would take its own name for the search words.
                QVERIFY2(!tokens[0].contains("搜") && !tokens[0].contains("看"), qPrintable(line));
                key = tokens[0];
                break;
            }
            case Format::List:
            case Format::Empty:
                key = line;
                break;
            }
            QVERIFY2(!keys.contains(key), qPrintable(path + ": duplicate " + key));
            keys.insert(key);
        }
        if (path.endsWith("webSearch.txt"))
            QVERIFY2(keys.contains("百度翻译"), "the dictionary entry");
    }

    // Staged per platform, all nine load without a warning, and a few commands find their pages.
    void loadsAsStaged_data() {
        QTest::addColumn<QString>("platform");
        for (const char* platform : platforms)
            QTest::newRow(platform) << QString(platform);
    }
    void loadsAsStaged() {
        QFETCH(QString, platform);
        TestDir dir;
        for (const Shipped& file : shippedFiles)
            QVERIFY(QFile::copy(stagedPath(platform, file.name), dir.file(file.name)));
        VocabularyTables tables;
        {
            MessageLog log;
            tables.loadAll();
            QCOMPARE(log.warnings(), QStringList());
        }
        QVERIFY(tables.areaTable().size() >= 30);
        QVERIFY(!tables.liveTable().isEmpty() && !tables.systemTable().isEmpty() &&
                !tables.softwareTable().isEmpty());

        const CommandInterpreter interpreter(tables);
        QCOMPARE(interpreter.interpret("北京的空气质量").url,
                 QString("http://www.tianqihoubao.com/aqi/beijing.html"));
        QVERIFY(interpreter.interpret("苹果的英文").url.startsWith("https://fanyi.baidu.com/translate?"));
        QCOMPARE(interpreter.interpret("知乎搜索猫").url,
                 QString("https://www.zhihu.com/search?type=content&q=%E7%8C%AB"));
        QCOMPARE(interpreter.interpret("我想看流浪地球2").url,
                 QString("http://www.baidu.com/s?wd=流浪地球2"));
        QCOMPARE(interpreter.interpret("买一台笔记本电脑").url,
                 QString("http://search.jd.com/Search?keyword=笔记本电脑&enc=utf-8"));
        QCOMPARE(interpreter.interpret("打开火狐浏览器").kind, CommandAction::OpenUrl);
    }
};

QTEST_GUILESS_MAIN(TestShippedVocabulary)
#include "tst_shippedvocabulary.moc"
