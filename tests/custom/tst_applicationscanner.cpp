#include "custom/ApplicationScanner.h"
#include "platform/linux/LinuxExecutableListing.h"
#include "tests/commands/VocabularyFiles.h"
#include "tests/support/MessageLog.h"
#include "tests/support/TestDir.h"

#include <QtTest>

namespace {

// A listing that writes the given bytes as they are, or fails when they are null.
struct BytesListing : ExecutableListing {
    explicit BytesListing(const QByteArray& bytes) : bytes(bytes) {}
    bool writeList(const QString& listPath) override {
        QFile file(listPath);
        return !bytes.isNull() && file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
    }
    QByteArray bytes;
};

void scan(std::unique_ptr<ExecutableListing> listing) {
    ApplicationScanner thread{std::move(listing)};
    thread.start();
    QVERIFY(thread.wait(10000));
}

// Paths as the Linux walker writes them: UTF-8, one per LF-ended line.
QByteArray utf8Lines(const QStringList& paths) {
    return (paths.join('\n') + '\n').toUtf8();
}

} // namespace

class TestApplicationScanner : public QObject {
    Q_OBJECT
private slots:
    void init() { m_dir.reset(new TestDir); }
    void cleanup() { m_dir.reset(); }

    // software.txt before the scan (absent when null), the listing, software.txt after it, a warning.
    void scan_data() {
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<QByteArray>("listing");
        QTest::addColumn<QByteArray>("after");
        QTest::addColumn<QString>("warning");
        auto row = [](const char* name, const QByteArray& before, const QByteArray& listing,
                      const QByteArray& after, const char* warning = "") {
            QTest::newRow(name) << before << listing << after << QString(warning);
        };
        row("two paths for one record, listing order", "QQ,QQ.exe,http://im.qq.com,\r\n",
            utf8Lines({"c:\\Program Files\\Tencent\\QQ.exe", "d:\\QQ.exe"}),
            "QQ,QQ.exe,http://im.qq.com,file:///c:\\\\Program Files\\\\Tencent\\\\QQ.exe\r\n"
            "QQ,QQ.exe,http://im.qq.com,file:///d:\\\\QQ.exe\r\n");
        row("filled records first, then the rest in key order",
            "zeta,z.exe,http://z,\r\nalready,a.exe,http://a,file:///c:\\\\old\\\\a.exe\r\n"
            "missing,m.exe,http://m,\r\nbeta,b.exe,http://b,\r\n",
            utf8Lines({"c:\\tools\\z.exe", "c:\\x\\a.exe", "c:\\y\\b.exe"}),
            "zeta,z.exe,http://z,file:///c:\\\\tools\\\\z.exe\r\nbeta,b.exe,http://b,file:///"
            "c:\\\\y\\\\b.exe\r\n"
            "already,a.exe,http://a,file:///c:\\\\old\\\\a.exe\r\nmissing,m.exe,http://m,\r\n");
        row("no software.txt: an empty one", QByteArray(), utf8Lines({"c:\\a.exe"}), "",
            "Find the application , open software file failed when reading !");
        row("LF records, UTF-8 paths with spaces", "editor,gedit,https://gedit/,\n",
            utf8Lines({"/usr/bin/gedit", "/opt/我的 Apps/gedit"}),
            gbk("editor,gedit,https://gedit/,file:////usr/bin/gedit\r\n"
                "editor,gedit,https://gedit/,file:////opt/我的 Apps/gedit\r\n"));
        row("substring match, case-sensitive", "qq,qq.exe,http://q,\r\n",
            utf8Lines({"c:\\myqq.exe", "c:\\QQ.EXE"}), "qq,qq.exe,http://q,file:///c:\\\\myqq.exe\r\n");
        row("last record of an executable wins, empty lines dropped",
            "one,x.exe,http://1,\r\n\r\ntwo,x.exe,http://2,\r\n", "", "two,x.exe,http://2,\r\n");
        row("UTF-8 byte-order mark read, GBK written",
            "\xEF\xBB\xBF" + QString("音乐,music.exe,http://m,\r\n").toUtf8(), utf8Lines({"c:\\music.exe"}),
            gbk("音乐,music.exe,http://m,file:///c:\\\\music.exe\r\n"));
        row("short and odd records are kept, never filled",
            "short,s.exe\r\nfive,f.exe,http://f,,x\r\nnokey,,http://n,\r\n",
            utf8Lines({"c:\\s.exe", "c:\\f.exe", "c:\\anything"}),
            "nokey,,http://n,\r\nfive,f.exe,http://f,,x\r\nshort,s.exe\r\n");
        row("the Windows shell's listing in the local code page",
            gbk("音乐,酷狗.exe,http://k,\r\nqq,QQ.exe,http://q,\r\n"),
            gbkLines({"D:\\软件\\酷狗音乐\\酷狗.exe", "C:\\QQ.exe"}),
            gbk("音乐,酷狗.exe,http://k,file:///D:\\\\软件\\\\酷狗音乐\\\\酷狗.exe\r\nqq,QQ.exe,http://"
                "q,file:///C:\\\\QQ.exe\r\n"));
        row("listing fails: records kept", "b,b.exe,http://b,\r\na,a.exe,http://a,file:///c:\\\\a.exe\r\n",
            QByteArray(), "a,a.exe,http://a,file:///c:\\\\a.exe\r\nb,b.exe,http://b,\r\n",
            "Find the application , open info file failed !");
    }
    void scan() {
        QFETCH(QByteArray, before);
        QFETCH(QByteArray, listing);
        QFETCH(QByteArray, after);
        QFETCH(QString, warning);
        if (!before.isNull())
            m_dir->write("software.txt", before);
        MessageLog log;
        ::scan(std::make_unique<BytesListing>(listing));
        QVERIFY(QFile::exists("software.txt"));
        QCOMPARE(m_dir->read("software.txt"), after);
        QVERIFY(!QFile::exists("info.txt"));
        if (!warning.isEmpty())
            QVERIFY(log.warnings().contains(warning));
    }

    void unwritableSoftwareTxtKeepsItsContent() {
        const QByteArray before("x,x.exe,http://x,\nkept,k.exe,http://k,\n");
        m_dir->write("software.txt", before);
        QVERIFY(
            QFile::setPermissions("software.txt", QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
        MessageLog log;
        ::scan(std::make_unique<BytesListing>(utf8Lines({"c:\\x.exe"})));
        QCOMPARE(m_dir->read("software.txt"), before);
        QVERIFY(log.warnings().contains("Find the application , open soft file failed !"));
        QCOMPARE(QDir().entryList(QDir::Files), QStringList{"software.txt"});
    }

    void linuxWalkerOnATree() {
        const QString root = m_dir->path() + "/root";
        auto file = [&](const QString& rel, QFile::Permissions perms) {
            QDir().mkpath(QFileInfo(root + "/" + rel).absolutePath());
            m_dir->write("root/" + rel, "x");
            QVERIFY(QFile::setPermissions(root + "/" + rel, perms));
        };
        const auto plain = QFile::ReadOwner | QFile::WriteOwner;
        file("bin/tool", plain | QFile::ExeOwner);
        file("bin/readme.txt", plain);
        file("bin/group-only", plain | QFile::ExeGroup);
        file("apps/My Apps/编辑器", plain | QFile::ExeOwner);
        file("apps/wine/Game.EXE", plain);
        file("apps/deep/a/b/c/d/e/f/deepest", plain | QFile::ExeOwner);
        QVERIFY(QFile::link(root + "/bin/tool", root + "/apps/tool-link"));
        QVERIFY(QFile::link(root + "/apps", root + "/apps/deep/loop"));   // a loop back up
        QVERIFY(QFile::link(root + "/nowhere", root + "/apps/dangling")); // leads nowhere
        QVERIFY(QFile::link(root + "/bin", root + "/bin-link"));          // a linked folder
        QDir().mkpath(root + "/empty");

        LinuxExecutableListing listing(
            {root + "/bin", " " + root + "/apps ", root + "/missing", root + "/bin-link"});
        QVERIFY(listing.writeList("list.txt"));
        QStringList lines = QString::fromUtf8(m_dir->read("list.txt")).split('\n', Qt::SkipEmptyParts);
        QStringList expected{"/bin/tool", "/bin/group-only", "/apps/My Apps/编辑器", "/apps/wine/Game.EXE",
                             "/apps/deep/a/b/c/d/e/f/deepest", "/apps/tool-link",
                             // A root that is itself a link is listed under its own name.
                             "/bin-link/tool", "/bin-link/group-only"};
        for (QString& path : expected)
            path.prepend(root);
        lines.sort();
        expected.sort();
        QCOMPARE(lines, expected);
        QVERIFY(!listing.writeList(m_dir->path() + "/no/such/folder/list.txt"));
    }

    // The scanned roots: the defaults without a setting, else the listed folders with "~" expanded.
    void rootsFromServicesIni() {
        const QString home = QDir::homePath();
        QCOMPARE(LinuxExecutableListing().roots(),
                 (QStringList{"/usr/bin", "/usr/local/bin", "/opt", home + "/.local/bin"}));
        m_dir->write("services.ini", "[scanner]\nroots = /a, ~/b , ~\n");
        QCOMPARE(LinuxExecutableListing().roots(), (QStringList{"/a", home + "/b", home}));
    }

private:
    std::unique_ptr<TestDir> m_dir;
};

QTEST_MAIN(TestApplicationScanner)
#include "tst_applicationscanner.moc"
