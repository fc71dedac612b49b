#include "app/NoticeBox.h"
#include "custom/CustomCommandEditor.h"
#include "tests/commands/VocabularyFiles.h"
#include "tests/support/Rows.h"
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

    // The listed entries as "type|word|content".
    QStringList entries() const {
        QStringList out;
        for (int row = 0; row < table()->rowCount(); ++row)
            if (table()->item(row, 0))
                out << table()->item(row, 0)->text() + "|" + table()->item(row, 1)->text() + "|" +
                           table()->item(row, 2)->text();
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

using Add = Rows<QString, QString, bool>;
using Delete = Rows<QString, QByteArray, QString, QByteArray>;

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
        const Add row; // kind, word, refused
        for (const char* kind : {"web", "folder", "file"}) {
            const bool path = qstrcmp(kind, "web") != 0;
            row(qPrintable(kind + QString(" word taken by a web word")), kind, "百科", true);
            row(qPrintable(kind + QString(" word taken by an application")), kind, "浏览器", path);
            row(qPrintable(kind + QString(" word taken by a file word")), kind, "文档", path);
            row(qPrintable(kind + QString(" word that is new")), kind, "新", false);
        }
        row("longer than a taken word", "folder", "百科全书", false);
        row("a field, not a key", "folder", "firefox", false);
    }
    void add() {
        const auto [kind, word, refused] = Add::fetch();
        const QByteArray web = gbkLines({"百科 https://baike.example.com/"});
        const QByteArray words = gbkLines({"文档,file:///C:/doc"});
        const QByteArray software = gbkLines({"浏览器,firefox,http://f,"});
        m_dir->write("webSearch.txt", web);
        m_dir->write("commandwords.txt", words);
        m_dir->write("software.txt", software);
        Form f = open();
        const QString content = "/home/u/报告 2024";
        f.add(kind, word, content);
        QCOMPARE(m_dir->read("software.txt"), software);
        // A refused word changes nothing and is named in a notice that goes by itself.
        const bool isWeb = kind == "web";
        const QString type = isWeb ? "网页" : kind == "folder" ? "文件夹" : "文件";
        const QByteArray record = refused ? "" : gbkLines({word + (isWeb ? " " : ",file:///") + content});
        QCOMPARE(m_dir->read("webSearch.txt"), isWeb ? web + record : web);
        QCOMPARE(m_dir->read("commandwords.txt"), isWeb ? words : words + record);
        QCOMPARE(f.entries(), QStringList({"网页|百科|https://baike.example.com/", "文件|文档|C:/doc"}) +
                                  (refused ? QStringList() : QStringList{type + "|" + word + "|" + content}));
        QPointer<NoticeBox> box = visibleNotice();
        QCOMPARE(box ? box->text() : QString(), refused ? word + " 已被占用！" : QString());
        QTRY_VERIFY_WITH_TIMEOUT(!box || !box->isVisible(), 3000);
    }

    // Deleting keeps every other byte: other records, empty lines, and each line's own line end.
    // The word "b" is in both files: only the file of the type listed last loses it.
    void deleteKeepsOtherBytes_data() {
        const Delete row; // file, its content before, the word deleted, the content after
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
        const auto [file, before, word, after] = Delete::fetch();
        const bool web = file == "webSearch.txt";
        const QString other = web ? "commandwords.txt" : "webSearch.txt";
        const QByteArray untouched = web ? "b,file:///b\r\n" : "b http://b/\r\n";
        m_dir->write(file, before);
        m_dir->write(other, untouched);
        Form f = open();
        f.remove(word);
        QCOMPARE(m_dir->read(file), after);
        QCOMPARE(m_dir->read(other), untouched);
        QCOMPARE(f.combo()->findText(word), -1);
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
