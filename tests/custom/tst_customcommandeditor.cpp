#include "app/NoticeBox.h"
#include "custom/CustomCommandEditor.h"
#include "tests/commands/VocabularyFiles.h"
#include "tests/support/MessageLog.h"
#include "tests/support/TestDir.h"

#include <QtTest>
#include <QtWidgets>

// The dialog's widgets by their form names.
struct Form {
    CustomCommandEditor* dialog;

    template <typename T> T* get(const char* name) const { return dialog->findChild<T*>(name); }
    QLineEdit* edit(const char* name) const { return get<QLineEdit>(name); }
    QTableWidget* table() const { return get<QTableWidget>("definedWordsTable"); }
    QComboBox* combo() const { return get<QComboBox>("definedWordCombo"); }
    void click(const char* name) const { get<QAbstractButton>(name)->click(); }
    int page() const { return get<QStackedWidget>("pages")->currentIndex(); }

    // The listed entries as "type|word|content".
    QStringList entries() const {
        QStringList out;
        for (int row = 0; row < table()->rowCount(); ++row)
            if (table()->item(row, 0))
                out << table()->item(row, 0)->text() + "|" + table()->item(row, 1)->text() + "|" +
                           table()->item(row, 2)->text();
        return out;
    }
    QStringList words() const {
        QStringList out;
        for (int i = 0; i < combo()->count(); ++i)
            out << combo()->itemText(i);
        return out;
    }
    // Adds through page 0: kind is "web", "folder" or "file".
    void add(const QString& kind, const QString& word, const QString& content) const {
        const int i = kind == "web" ? 0 : kind == "folder" ? 1 : 2;
        const char* const fields[] = {"webAddressEdit", "folderEdit", "fileEdit"};
        const char* const buttons[] = {"addWebButton", "addFolderButton", "addFileButton"};
        edit("wordEdit")->setText(word);
        edit(fields[i])->setText(content);
        click(buttons[i]);
    }
    void remove(const QString& word) const {
        combo()->setCurrentIndex(combo()->findText(word));
        click("deleteButton");
    }
};

static NoticeBox* visibleNotice() {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* box = qobject_cast<NoticeBox*>(w); box && box->isVisible())
            return box;
    return nullptr;
}

class TestCustomCommandEditor : public QObject {
    Q_OBJECT
private slots:
    void init() { m_dir.reset(new TestDir); }
    void cleanup() {
        delete m_dialog;
        m_dir.reset();
    }

    // A web word is checked only against "webSearch.txt", folder and file words against all three,
    // always by the whole key of a record; an accepted word is appended and listed at once.
    void add_data() {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("word");
        QTest::addColumn<bool>("refused");
        for (const QString kind : {"web", "folder", "file"}) {
            const bool path = kind != "web";
            QTest::addRow("%s word taken by a web word", qPrintable(kind)) << kind << "百科" << true;
            QTest::addRow("%s word taken by an application", qPrintable(kind)) << kind << "浏览器" << path;
            QTest::addRow("%s word taken by a file word", qPrintable(kind)) << kind << "文档" << path;
            QTest::addRow("%s word that is new", qPrintable(kind)) << kind << "新" << false;
        }
        QTest::newRow("longer than a taken word") << QString("folder") << "百科全书" << false;
        QTest::newRow("a field, not a key") << QString("folder") << "firefox" << false;
    }
    void add() {
        QFETCH(QString, kind);
        QFETCH(QString, word);
        QFETCH(bool, refused);
        const QByteArray web = gbkLines({"百科 https://baike.example.com/"});
        const QByteArray words = gbkLines({"文档,file:///C:/doc"});
        const QByteArray software = gbkLines({"浏览器,firefox,http://f,"});
        m_dir->write("webSearch.txt", web);
        m_dir->write("commandwords.txt", words);
        m_dir->write("software.txt", software);
        Form f = open();
        QSignalSpy added(f.dialog, &CustomCommandEditor::alreadyDefsig);
        const QString content = "/home/u/报告 2024";
        f.add(kind, word, content);
        for (const char* name : {"wordEdit", "webAddressEdit", "folderEdit", "fileEdit"})
            QVERIFY(f.edit(name)->text().isEmpty());
        QCOMPARE(m_dir->read("software.txt"), software);
        const QStringList listed{"网页|百科|https://baike.example.com/", "文件|文档|C:/doc"};
        if (refused) {
            QCOMPARE(m_dir->read("webSearch.txt"), web);
            QCOMPARE(m_dir->read("commandwords.txt"), words);
            QCOMPARE(f.entries(), listed);
            QCOMPARE(f.page(), 0);
            NoticeBox* box = visibleNotice();
            QVERIFY(box);
            QCOMPARE(box->text(), word + " 已被占用！");
            QTRY_VERIFY_WITH_TIMEOUT(!box->isVisible(), 3000);
            return;
        }
        const bool isWeb = kind == "web";
        const QByteArray record = gbkLines({word + (isWeb ? " " : ",file:///") + content});
        QCOMPARE(m_dir->read("webSearch.txt"), isWeb ? web + record : web);
        QCOMPARE(m_dir->read("commandwords.txt"), isWeb ? words : words + record);
        const QString type = isWeb ? "网页" : kind == "folder" ? "文件夹" : "文件";
        QCOMPARE(f.entries(), listed + QStringList{type + "|" + word + "|" + content});
        QCOMPARE(f.words().last(), word);
        QCOMPARE(added.count(), 1);
        QCOMPARE(f.page(), 1);
        QVERIFY(!visibleNotice());
    }

    void missingFilesAreWarnedAndCreated() {
        MessageLog log;
        Form f = open();
        QCOMPARE(log.warnings().filter("Custom command words"),
                 QStringList({"Custom command words , open webSearch file failed !",
                              "Custom command words , open commandwords file failed !"}));
        log.clear();
        f.add("folder", "家", "/home/u");
        QStringList saving;
        for (const char* what : {"webSearch file failed when saving", "software file failed when judging",
                                 "commandwords file failed when saving"})
            saving << QString("Custom command words , open %1 command words !").arg(what);
        QCOMPARE(log.warnings().filter("Custom command words"), saving);
        QCOMPARE(m_dir->read("commandwords.txt"), gbk("家,file:////home/u\r\n"));
        f.add("web", "站", "http://s/");
        QCOMPARE(m_dir->read("webSearch.txt"), gbk("站 http://s/\r\n"));
    }

    void appendingAfterALastLineWithoutLineEnd() {
        m_dir->write("webSearch.txt", "a http://a/");
        m_dir->write("commandwords.txt", "b,file:///b\n");
        Form f = open();
        f.add("web", "c", "http://c/");
        f.add("file", "d", "/d");
        QCOMPARE(m_dir->read("webSearch.txt"), QByteArray("a http://a/\r\nc http://c/\r\n"));
        QCOMPARE(m_dir->read("commandwords.txt"), QByteArray("b,file:///b\nd,file:////d\r\n"));
    }

    // Deleting keeps every other byte: other records, empty lines, and each line's own line end.
    // The word "b" is in both files: only the file of the type listed last loses it.
    void deleteKeepsOtherBytes_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<QString>("word");
        QTest::addColumn<QByteArray>("after");
        auto row = [](const char* name, const char* file, const QByteArray& before, const char* word,
                      const QByteArray& after) {
            QTest::newRow(name) << QString(file) << before << QString(word) << after;
        };
        row("middle, mixed line ends", "commandwords.txt",
            "a,file:///a\r\n\r\nb,file:///b\r\n\nc,file:///c\n", "b", "a,file:///a\r\n\r\n\nc,file:///c\n");
        row("last line without line end", "commandwords.txt", "a,file:///a\r\nb,file:///b", "b",
            "a,file:///a");
        row("every record of the word, the first line too", "commandwords.txt",
            "b,file:///1\r\na,file:///a\r\nb,file:///2\r\n", "b", "a,file:///a\r\n");
        row("other address, same key", "commandwords.txt", "b,http://b/\r\nbb,file:///b\r\n", "b",
            "bb,file:///b\r\n");
        row("web record", "webSearch.txt", gbk("新闻 http://n/\r\n百科 http://b/\r\n\r\n"), "新闻",
            gbk("百科 http://b/\r\n\r\n"));
    }
    void deleteKeepsOtherBytes() {
        QFETCH(QString, file);
        QFETCH(QByteArray, before);
        QFETCH(QString, word);
        QFETCH(QByteArray, after);
        const bool web = file == "webSearch.txt";
        const QString other = web ? "commandwords.txt" : "webSearch.txt";
        const QByteArray untouched = web ? "b,file:///b\r\n" : "b http://b/\r\n";
        m_dir->write(file, before);
        m_dir->write(other, untouched);
        Form f = open();
        const int listed = f.combo()->count();
        f.remove(word);
        QCOMPARE(m_dir->read(file), after);
        QCOMPARE(m_dir->read(other), untouched);
        QVERIFY(!f.words().contains(word));
        QCOMPARE(f.combo()->count(), f.entries().size());
        QVERIFY(f.combo()->count() < listed);
    }

    void nineEntriesThenThreeDeletions() {
        Form f = open();
        QCOMPARE(f.table()->rowCount(), 8);
        for (int i = 1; i <= 9; ++i)
            f.add(QStringList{"web", "folder", "file"}[i % 3], QString("词%1").arg(i),
                  QString("/p%1").arg(i));
        QCOMPARE(f.table()->rowCount(), 9);
        QCOMPARE(f.combo()->count(), 9);
        for (const char* word : {"词2", "词9", "词4"})
            f.remove(word);
        QCOMPARE(f.table()->rowCount(), 7);
        QCOMPARE(f.words(), QStringList({"词1", "词3", "词5", "词6", "词7", "词8"}));
        // Table and word list stay in step: row i holds word i.
        QCOMPARE(f.entries().size(), 6);
        for (int i = 0; i < f.combo()->count(); ++i)
            QCOMPARE(f.table()->item(i, 1)->text(), f.combo()->itemText(i));
        QCOMPARE(m_dir->read("commandwords.txt"),
                 gbk("词1,file:////p1\r\n词5,file:////p5\r\n词7,file:////p7\r\n词8,file:////p8\r\n"));
        QCOMPARE(m_dir->read("webSearch.txt"), gbk("词3 /p3\r\n词6 /p6\r\n"));
    }

    // Records the editor did not write are listed as far as they go; on reopening, a folder added
    // earlier is listed as a file.
    void listsWhatTheFilesHold() {
        m_dir->write("webSearch.txt", "lonely\r\ntwo  spaces http://x/\r\n");
        m_dir->write("commandwords.txt",
                     gbk("百度,http://www.baidu.com\r\nplain\r\n文件,file:///C:/a,b.txt\r\n"));
        const QStringList listed{"网页|lonely|", "网页|two|", "文件|百度|http://www.baidu.com", "文件|plain|",
                                 "文件|文件|C:/a,b.txt"};
        Form f = open();
        QCOMPARE(f.entries(), listed);
        f.add("folder", "照片", "/home/u/照片");
        QCOMPARE(f.entries(), listed + QStringList{"文件夹|照片|/home/u/照片"});
        QCOMPARE(open().entries(), listed + QStringList{"文件|照片|/home/u/照片"});
    }

private:
    Form open() {
        delete m_dialog;
        m_dialog = new CustomCommandEditor;
        return Form{m_dialog};
    }

    std::unique_ptr<TestDir> m_dir;
    QPointer<CustomCommandEditor> m_dialog;
};

QTEST_MAIN(TestCustomCommandEditor)
#include "tst_customcommandeditor.moc"
