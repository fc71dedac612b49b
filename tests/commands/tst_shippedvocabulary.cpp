#include "tests/support/Rows.h"
#include "tests/support/TestDir.h"

#include <QtTest>

// The vocabulary files shipped in data/, as they are staged for each platform: their encoding,
// line ends and fields.
namespace {

// Each line of a file matches its pattern.
const struct {
    const char* name;
    const char* line; // null: the file is shipped empty
} shippedFiles[] = {
    {"area.txt", "^([^,]+),[a-z]+$"},
    {"live.txt", "^([^,]+),(https?://[^ ,]+|file:///[^,]*)$"},
    {"system.txt", "^([^,]+),(https?://[^ ,]+|file:///[^,]*)$"},
    {"software.txt", "^([^,]+),[^,]+,https?://[^,]*,$"},
    // A keyword holding "搜" or "看" would take its own name for the search words.
    {"webSearch.txt", "^([^ \t搜看]+) https?://[^ \t]+$"},
    {"Buy.txt", "^(.+)$"},
    {"Movie.txt", "^(.+)$"},
    {"Music.txt", "^(.+)$"},
    {"commandwords.txt", nullptr},
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
        const Rows<QString, QString> row; // path, line pattern
        for (const char* platform : platforms)
            for (const auto& file : shippedFiles)
                row(qPrintable(QString(platform) + '/' + file.name), stagedPath(platform, file.name),
                    file.line);
    }
    void format() {
        const auto [path, pattern] = Rows<QString, QString>::fetch();
        QFile file(path);
        QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(path));
        const QByteArray data = file.readAll();
        QCOMPARE(data.isEmpty(), pattern.isEmpty());
        QVERIFY2(!data.startsWith("\xEF\xBB\xBF"), "no byte-order mark");

        // GBK throughout: what does not decode comes back as other bytes.
        QTextCodec* gbk = QTextCodec::codecForName("GBK");
        const QString text = gbk->toUnicode(data);
        QCOMPARE(gbk->fromUnicode(text), data);

        // CR LF after every line, the last one included, and nowhere else.
        QVERIFY(data.isEmpty() || data.endsWith("\r\n"));
        QCOMPARE(data.count("\r\n") * 2, data.count('\n') + data.count('\r'));

        QStringList lines = text.split("\r\n");
        lines.removeLast();
        const QRegularExpression layout(pattern);
        for (const QString& line : qAsConst(lines))
            QVERIFY2(layout.match(line).hasMatch() && line.trimmed() == line,
                     qPrintable(path + ": '" + line + "'"));
    }
};

QTEST_GUILESS_MAIN(TestShippedVocabulary)
#include "tst_shippedvocabulary.moc"
