#include "app/PromptBox.h"
#include "custom/CustomFunctionDialog.h"
#include "tests/support/MessageLog.h"
#include "tests/support/TestDir.h"

#include <QApplication>
#include <QComboBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QStackedWidget>
#include <QTableWidget>
#include <QTextCodec>
#include <QToolButton>
#include <QtTest>

static QByteArray gbk(const QString& text) {
    return QTextCodec::codecForName("GBK")->fromUnicode(text);
}

// The dialog's widgets by their form names.
struct Form {
    explicit Form(CustomFunctionDialog* d) : dialog(d) {}
    template <typename T> T* get(const char* name) const {
        T* w = dialog->findChild<T*>(name);
        if (!w)
            qFatal("no widget %s", name);
        return w;
    }
    QLineEdit* edit(const char* name) const { return get<QLineEdit>(name); }
    QTableWidget* table() const { return get<QTableWidget>("tableWidget_2"); }
    QComboBox* combo() const { return get<QComboBox>("comboBox"); }
    void click(const char* name) const { get<QAbstractButton>(name)->click(); }
    int page() const { return get<QStackedWidget>("stackedWidget")->currentIndex(); }

    // The listed entries as "type|word|content".
    QStringList entries() const {
        QStringList out;
        for (int row = 0; row < table()->rowCount(); ++row) {
            if (!table()->item(row, 0))
                continue;
            out << table()->item(row, 0)->text() + "|" + table()->item(row, 1)->text() + "|" +
                       table()->item(row, 2)->text();
        }
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
        edit("lineEdit")->setText(word);
        if (kind == "web") {
            edit("lineEdit_2")->setText(content);
            click("pushButton_5");
        } else if (kind == "folder") {
            edit("lineEdit_3")->setText(content);
            click("pushButton_6");
        } else {
            edit("lineEdit_4")->setText(content);
            click("pushButton_7");
        }
    }
    void remove(const QString& word) const {
        combo()->setCurrentIndex(combo()->findText(word));
        QVERIFY(combo()->currentText() == word);
        click("pushButton_9");
    }

    CustomFunctionDialog* dialog;
};

static PromptBox* visibleNotice() {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* box = qobject_cast<PromptBox*>(w))
            if (box->isVisible())
                return box;
    return nullptr;
}

class TestCustomFunctionDialog : public QObject {
    Q_OBJECT
private slots:
    void init() { m_dir.reset(new TestDir); }
    void cleanup() {
        delete m_dialog;
        m_dir.reset();
    }

    void constructionShowsAFramelessWindowOnPageZero() {
        Form f(open());
        QVERIFY(f.dialog->isVisible());
        QVERIFY(f.dialog->windowFlags() & Qt::ToolTip);
        QVERIFY(f.dialog->windowFlags() & Qt::FramelessWindowHint);
        QCOMPARE(f.page(), 0);
        QCOMPARE(f.table()->rowCount(), 8);
        QCOMPARE(f.table()->columnCount(), 3);
        QCOMPARE(f.table()->horizontalHeaderItem(1)->text(), QString("命令词"));
        QCOMPARE(f.table()->verticalHeaderItem(7)->text(), QString("8"));
        QCOMPARE(f.table()->editTriggers(), QAbstractItemView::NoEditTriggers);
        f.click("pushButton_2");
        QCOMPARE(f.page(), 1);
        f.click("pushButton");
        QCOMPARE(f.page(), 0);
        QSignalSpy closed(f.dialog, &CustomFunctionDialog::closeDialog);
        f.click("toolButton_3");
        QCOMPARE(closed.count(), 1);
    }

    void addEachType_data() {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("word");
        QTest::addColumn<QString>("content");
        QTest::addColumn<QString>("file");
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<QString>("entry");
        QTest::newRow("web") << "web"
                             << "百科"
                             << "https://baike.example.com/item/"
                             << "webSearch.txt" << gbk("百科 https://baike.example.com/item/\r\n")
                             << "网页|百科|https://baike.example.com/item/";
        QTest::newRow("folder") << "folder"
                                << "下载"
                                << "/home/u/下载"
                                << "commandwords.txt" << gbk("下载,file:////home/u/下载\r\n")
                                << "文件夹|下载|/home/u/下载";
        QTest::newRow("file") << "file"
                              << "报告"
                              << "C:/Users/u/报告 2024.docx"
                              << "commandwords.txt" << gbk("报告,file:///C:/Users/u/报告 2024.docx\r\n")
                              << "文件|报告|C:/Users/u/报告 2024.docx";
    }
    void addEachType() {
        QFETCH(QString, kind);
        QFETCH(QString, word);
        QFETCH(QString, content);
        QFETCH(QString, file);
        QFETCH(QByteArray, line);
        QFETCH(QString, entry);
        const QByteArray web = "新闻 http://news.example.com/\r\n";
        const QByteArray words = "文档,file:///C:/doc\r\n";
        m_dir->write("webSearch.txt", gbk(web));
        m_dir->write("commandwords.txt", gbk(words));
        m_dir->write("software.txt", gbk("浏览器,firefox,http://f,\r\n"));
        Form f(open());
        QCOMPARE(f.entries(), QStringList({"网页|新闻|http://news.example.com/", "文件|文档|C:/doc"}));

        QSignalSpy added(f.dialog, &CustomFunctionDialog::alreadyDefsig);
        f.add(kind, word, content);
        QCOMPARE(added.count(), 1);
        QCOMPARE(m_dir->read(file), gbk(file == "webSearch.txt" ? web : words) + line);
        QCOMPARE(m_dir->read(file == "webSearch.txt" ? "commandwords.txt" : "webSearch.txt"),
                 gbk(file == "webSearch.txt" ? words : web));
        QCOMPARE(f.entries().size(), 3);
        QCOMPARE(f.entries().last(), entry);
        QCOMPARE(f.words().last(), word);
        QCOMPARE(f.page(), 1);
        for (const char* name : {"lineEdit", "lineEdit_2", "lineEdit_3", "lineEdit_4"})
            QVERIFY(f.edit(name)->text().isEmpty());
        QVERIFY(!visibleNotice());
    }

    // Which files a new word is checked against: a web word only against "webSearch.txt",
    // folder and file words against all three.
    void duplicates_data() {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("word");
        QTest::addColumn<bool>("refused");
        for (const QString kind : {"web", "folder", "file"}) {
            const bool path = kind != "web";
            QTest::addRow("%s word taken by a web word", qPrintable(kind)) << kind << "百科" << true;
            QTest::addRow("%s word taken by an application", qPrintable(kind)) << kind << "浏览器" << path;
            QTest::addRow("%s word taken by a file word", qPrintable(kind)) << kind << "文档" << path;
            QTest::addRow("%s word longer than a taken one", qPrintable(kind)) << kind << "百科全书" << false;
            QTest::addRow("%s word that is a field, not a key", qPrintable(kind))
                << kind << "firefox" << false;
        }
    }
    void duplicates() {
        QFETCH(QString, kind);
        QFETCH(QString, word);
        QFETCH(bool, refused);
        const QByteArray web = gbk("百科 https://baike.example.com/\r\n");
        const QByteArray words = gbk("文档,file:///C:/doc\r\n");
        const QByteArray software = gbk("浏览器,firefox,http://f,\r\n");
        m_dir->write("webSearch.txt", web);
        m_dir->write("commandwords.txt", words);
        m_dir->write("software.txt", software);
        Form f(open());
        f.add(kind, word, "http://x/");
        QCOMPARE(f.edit("lineEdit")->text(), QString());
        QCOMPARE(m_dir->read("software.txt"), software);
        if (refused) {
            QCOMPARE(m_dir->read("webSearch.txt"), web);
            QCOMPARE(m_dir->read("commandwords.txt"), words);
            QCOMPARE(f.entries().size(), 2);
            QCOMPARE(f.page(), 0);
            PromptBox* box = visibleNotice();
            QVERIFY(box);
            QCOMPARE(box->text(), word + " 已被占用！");
            QTRY_VERIFY_WITH_TIMEOUT(!box->isVisible(), 3000);
        } else {
            const QByteArray written = m_dir->read(kind == "web" ? "webSearch.txt" : "commandwords.txt");
            QVERIFY(written.endsWith(gbk(word + (kind == "web" ? " " : ",file:///") + "http://x/\r\n")));
            QCOMPARE(f.entries().size(), 3);
            QVERIFY(!visibleNotice());
        }
    }

    void missingFilesAreWarnedAndCreated() {
        MessageLog log;
        Form f(open());
        QCOMPARE(warnings(log), QStringList({"Custom command words , open webSearch file failed !",
                                             "Custom command words , open commandwords file failed !"}));
        log.clear();
        f.add("folder", "家", "/home/u");
        QCOMPARE(warnings(log),
                 QStringList(
                     {"Custom command words , open webSearch file failed when saving command words !",
                      "Custom command words , open software file failed when judging command words !",
                      "Custom command words , open commandwords file failed when saving command words !"}));
        QCOMPARE(m_dir->read("commandwords.txt"), gbk("家,file:////home/u\r\n"));
        f.add("web", "站", "http://s/");
        QCOMPARE(m_dir->read("webSearch.txt"), gbk("站 http://s/\r\n"));
    }

    void appendingAfterALastLineWithoutLineEnd() {
        m_dir->write("webSearch.txt", "a http://a/");
        m_dir->write("commandwords.txt", "b,file:///b\n");
        Form f(open());
        f.add("web", "c", "http://c/");
        f.add("file", "d", "/d");
        QCOMPARE(m_dir->read("webSearch.txt"), QByteArray("a http://a/\r\nc http://c/\r\n"));
        QCOMPARE(m_dir->read("commandwords.txt"), QByteArray("b,file:///b\nd,file:////d\r\n"));
    }

    // Deleting keeps every other byte: other records, empty lines, and each line's own line end.
    void deleteKeepsOtherBytes_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<QString>("word");
        QTest::addColumn<QByteArray>("after");
        QTest::newRow("middle, mixed line ends")
            << "commandwords.txt" << QByteArray("a,file:///a\r\n\r\nb,file:///b\r\n\nc,file:///c\n") << "b"
            << QByteArray("a,file:///a\r\n\r\n\nc,file:///c\n");
        QTest::newRow("last line without line end")
            << "commandwords.txt" << QByteArray("a,file:///a\r\nb,file:///b") << "b"
            << QByteArray("a,file:///a");
        QTest::newRow("first line") << "commandwords.txt" << QByteArray("b,file:///b\r\na,file:///a\r\n")
                                    << "b" << QByteArray("a,file:///a\r\n");
        QTest::newRow("every record of the word")
            << "commandwords.txt" << QByteArray("b,file:///1\r\na,file:///a\r\nb,file:///2\r\n") << "b"
            << QByteArray("a,file:///a\r\n");
        QTest::newRow("other address, same key")
            << "commandwords.txt" << QByteArray("b,http://b/\r\nbb,file:///b\r\n") << "b"
            << QByteArray("bb,file:///b\r\n");
        QTest::newRow("GBK word") << "commandwords.txt" << gbk("文档,file:///C:/文档\r\n音乐,file:///D:/\r\n")
                                  << "文档" << gbk("音乐,file:///D:/\r\n");
        QTest::newRow("web record") << "webSearch.txt" << gbk("新闻 http://n/\r\n百科 http://b/\r\n\r\n")
                                    << "新闻" << gbk("百科 http://b/\r\n\r\n");
        QTest::newRow("web last line")
            << "webSearch.txt" << QByteArray("x http://x/\ny http://y/") << "y" << QByteArray("x http://x/");
    }
    void deleteKeepsOtherBytes() {
        QFETCH(QString, file);
        QFETCH(QByteArray, before);
        QFETCH(QString, word);
        QFETCH(QByteArray, after);
        m_dir->write(file, before);
        const QString other = file == "webSearch.txt" ? "commandwords.txt" : "webSearch.txt";
        const QByteArray untouched =
            other == "webSearch.txt" ? QByteArray("b http://b/\r\n") : QByteArray("b,file:///b\r\n");
        m_dir->write(other, untouched);
        Form f(open());
        const int listed = f.combo()->count();
        f.remove(word);
        QCOMPARE(m_dir->read(file), after);
        QCOMPARE(m_dir->read(other), untouched);
        QVERIFY(!f.words().contains(word));
        QCOMPARE(f.combo()->count(), f.entries().size());
        QVERIFY(f.combo()->count() < listed);
    }

    void deleteRemovesOnlyFromTheFileOfItsType() {
        // A web word and a file word of the same spelling: the type of the last listed row decides.
        m_dir->write("webSearch.txt", "w http://w/\r\n");
        m_dir->write("commandwords.txt", "w,file:///w\r\n");
        Form f(open());
        f.remove("w");
        QCOMPARE(f.entries(), QStringList());
        QCOMPARE(m_dir->read("webSearch.txt"), QByteArray("w http://w/\r\n"));
        QCOMPARE(m_dir->read("commandwords.txt"), QByteArray());
    }

    void nineEntriesThenThreeDeletions() {
        Form f(open());
        for (int i = 1; i <= 9; ++i)
            f.add(i % 3 == 0   ? "web"
                  : i % 3 == 1 ? "folder"
                               : "file",
                  QString("词%1").arg(i), QString("/p%1").arg(i));
        QCOMPARE(f.entries().size(), 9);
        QCOMPARE(f.table()->rowCount(), 9);
        QCOMPARE(f.combo()->count(), 9);
        f.remove("词2");
        QCOMPARE(f.table()->rowCount(), 8);
        f.remove("词9");
        QCOMPARE(f.table()->rowCount(), 7);
        f.remove("词4");
        QCOMPARE(f.entries().size(), 6);
        QCOMPARE(f.table()->rowCount(), 7);
        QCOMPARE(f.words(), QStringList({"词1", "词3", "词5", "词6", "词7", "词8"}));
        // Table and word list stay in step: row i holds word i.
        for (int i = 0; i < f.combo()->count(); ++i)
            QCOMPARE(f.table()->item(i, 1)->text(), f.combo()->itemText(i));
        QCOMPARE(m_dir->read("commandwords.txt"),
                 gbk("词1,file:////p1\r\n词5,file:////p5\r\n词7,file:////p7\r\n词8,file:////p8\r\n"));
        QCOMPARE(m_dir->read("webSearch.txt"), gbk("词3 /p3\r\n词6 /p6\r\n"));
    }

    void reloadListsFoldersAsFile() {
        {
            Form f(open());
            f.add("folder", "照片", "/home/u/照片");
            f.add("web", "搜索", "http://s/?q=");
            QCOMPARE(f.entries(), QStringList({"文件夹|照片|/home/u/照片", "网页|搜索|http://s/?q="}));
            delete m_dialog;
        }
        Form f(open());
        QCOMPARE(f.entries(), QStringList({"网页|搜索|http://s/?q=", "文件|照片|/home/u/照片"}));
    }

    void oddRecordsAreListedSensibly() {
        m_dir->write("webSearch.txt", "lonely\r\ntwo  spaces http://x/\r\n");
        m_dir->write("commandwords.txt",
                     gbk("百度,http://www.baidu.com\r\nplain\r\n文件,file:///C:/a,b.txt\r\n"));
        Form f(open());
        QCOMPARE(f.entries(), QStringList({"网页|lonely|", "网页|two|", "文件|百度|http://www.baidu.com",
                                           "文件|plain|", "文件|文件|C:/a,b.txt"}));
        f.remove("百度");
        QCOMPARE(m_dir->read("commandwords.txt"), gbk("plain\r\n文件,file:///C:/a,b.txt\r\n"));
    }

    void comboAndTableFollowEachOther() {
        m_dir->write("webSearch.txt", "a http://a/\r\nb http://b/\r\nc http://c/\r\n");
        Form f(open());
        f.combo()->setCurrentIndex(2);
        QCOMPARE(f.table()->selectionModel()->selectedRows().size(), 1);
        QCOMPARE(f.table()->selectionModel()->selectedRows().first().row(), 2);
        QVERIFY(f.table()->styleSheet().contains("rgb(61, 102, 98)"));
        QMetaObject::invokeMethod(f.dialog, "on_tableWidget_2_itemPressed",
                                  Q_ARG(QTableWidgetItem*, f.table()->item(1, 2)));
        QCOMPARE(f.combo()->currentIndex(), 1);
    }

    void dragMovesTheWindow() {
        Form f(open());
        f.dialog->move(100, 100);
        const QPoint start = f.dialog->frameGeometry().topLeft() + QPoint(30, 10);
        QMouseEvent press(QEvent::MouseButtonPress, QPoint(30, 10), start, Qt::LeftButton, Qt::LeftButton,
                          Qt::NoModifier);
        QApplication::sendEvent(f.dialog, &press);
        QMouseEvent drag(QEvent::MouseMove, QPoint(80, 50), start + QPoint(50, 40), Qt::NoButton,
                         Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(f.dialog, &drag);
        QCOMPARE(f.dialog->pos(), QPoint(150, 140));
        QMouseEvent hover(QEvent::MouseMove, QPoint(0, 0), QPoint(500, 500), Qt::NoButton, Qt::NoButton,
                          Qt::NoModifier);
        QApplication::sendEvent(f.dialog, &hover);
        QCOMPARE(f.dialog->pos(), QPoint(150, 140));
    }

    void browseFillsThePathFields() {
        QCOMPARE(CustomFunctionDialog::browseStartFolder(), QDir::homePath());
        m_dir->write("chosen.txt", "x");
        Form f(open());
        QString title;
        QString startDir;
        // Answers the next file dialog: picks the file, or cancels when there is none.
        auto answer = [&](const QString& pick) {
            QTimer::singleShot(200, [&, pick] {
                auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
                if (!dialog)
                    return;
                title = dialog->windowTitle();
                startDir = dialog->directory().absolutePath();
                if (pick.isEmpty()) {
                    QMetaObject::invokeMethod(dialog, "reject", Qt::QueuedConnection);
                    return;
                }
                auto* name = dialog->findChild<QLineEdit*>("fileNameEdit");
                if (name)
                    name->setText(pick);
                QMetaObject::invokeMethod(dialog, "accept", Qt::QueuedConnection);
            });
        };
        f.edit("lineEdit_3")->setText("kept");
        answer(QString());
        f.click("toolButton");
        QCOMPARE(title, QString("浏览文件夹"));
        QCOMPARE(startDir, QDir::homePath());
        QCOMPARE(f.edit("lineEdit_3")->text(), QString("kept"));
        answer(m_dir->file("chosen.txt"));
        f.click("toolButton_2");
        QCOMPARE(title, QString("浏览文件"));
        QCOMPARE(startDir, QDir::homePath());
        QCOMPARE(f.edit("lineEdit_4")->text(), m_dir->file("chosen.txt"));
    }

private:
    // The warnings of the dialog, without the platform plugin's own.
    static QStringList warnings(const MessageLog& log) {
        QStringList out;
        for (const QString& w : log.warnings())
            if (w.startsWith("Custom command words"))
                out << w;
        return out;
    }

    CustomFunctionDialog* open() {
        delete m_dialog;
        m_dialog = new CustomFunctionDialog;
        return m_dialog;
    }

    std::unique_ptr<TestDir> m_dir;
    QPointer<CustomFunctionDialog> m_dialog;
};

QTEST_MAIN(TestCustomFunctionDialog)
#include "tst_customfunctiondialog.moc"
