#include "custom/SoftwareThread.h"
#include "platform/fake/FakeExecutableListing.h"
#include "platform/linux/LinuxExecutableListing.h"
#include "tests/support/MessageLog.h"
#include "tests/support/TestDir.h"

#include <QDir>
#include <QFile>
#include <QTextCodec>
#include <QtTest>

static QByteArray gbk(const QString& text) {
    return QTextCodec::codecForName("GBK")->fromUnicode(text);
}

// A listing as the Windows shell writes it: paths in the local code page, CR LF line ends.
class GbkListing : public ExecutableListing {
public:
    QStringList paths;
    bool writeList(const QString& listPath) override {
        QFile file(listPath);
        if (!file.open(QIODevice::WriteOnly))
            return false;
        for (const QString& p : paths)
            file.write(gbk(p) + "\r\n");
        return true;
    }
};

class TestSoftwareThread : public QObject {
    Q_OBJECT
private slots:
    void init() { m_dir.reset(new TestDir); }
    void cleanup() { m_dir.reset(); }

    // software.txt before the scan (absent when null), the paths listed, software.txt after it.
    void scanWithFakeListing_data() {
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<QStringList>("paths");
        QTest::addColumn<QByteArray>("after");

        QTest::newRow("two paths for one record, listing order")
            << QByteArray("QQ,QQ.exe,http://im.qq.com,\r\n")
            << QStringList{"c:\\Program Files\\Tencent\\QQ\\Bin\\QQ.exe", "d:\\QQ.exe"}
            << QByteArray("QQ,QQ.exe,http://im.qq.com,file:///c:\\\\Program "
                          "Files\\\\Tencent\\\\QQ\\\\Bin\\\\QQ.exe\r\n"
                          "QQ,QQ.exe,http://im.qq.com,file:///d:\\\\QQ.exe\r\n");
        QTest::newRow("filled records first, then the rest in key order")
            << QByteArray("zeta,z.exe,http://z,\r\n"
                          "already,a.exe,http://a,file:///c:\\\\old\\\\a.exe\r\n"
                          "missing,m.exe,http://m,\r\n"
                          "beta,b.exe,http://b,\r\n")
            << QStringList{"c:\\tools\\z.exe", "c:\\x\\a.exe", "c:\\y\\b.exe"}
            << QByteArray("zeta,z.exe,http://z,file:///c:\\\\tools\\\\z.exe\r\n"
                          "beta,b.exe,http://b,file:///c:\\\\y\\\\b.exe\r\n"
                          "already,a.exe,http://a,file:///c:\\\\old\\\\a.exe\r\n"
                          "missing,m.exe,http://m,\r\n");
        QTest::newRow("no software.txt") << QByteArray() << QStringList{"c:\\a.exe"} << QByteArray("");
        QTest::newRow("spaces and Linux paths")
            << QByteArray("editor,gedit,https://wiki.gnome.org/Apps/Gedit,\n")
            << QStringList{"/usr/bin/gedit", "/opt/My Apps/gedit"}
            << QByteArray("editor,gedit,https://wiki.gnome.org/Apps/Gedit,file:////usr/bin/gedit\r\n"
                          "editor,gedit,https://wiki.gnome.org/Apps/Gedit,file:////opt/My Apps/gedit\r\n");
        QTest::newRow("substring match, case-sensitive")
            << QByteArray("qq,qq.exe,http://q,\r\n") << QStringList{"c:\\myqq.exe", "c:\\QQ.EXE"}
            << QByteArray("qq,qq.exe,http://q,file:///c:\\\\myqq.exe\r\n");
        QTest::newRow("last record of an executable wins, empty lines dropped")
            << QByteArray("one,x.exe,http://1,\r\n\r\ntwo,x.exe,http://2,\r\n") << QStringList{}
            << QByteArray("two,x.exe,http://2,\r\n");
        QTest::newRow("Chinese names stay GBK")
            << gbk("浏览器,火狐.exe,http://firefox,\r\n") << QStringList{"c:\\软件\\火狐.exe"}
            << gbk("浏览器,火狐.exe,http://firefox,file:///c:\\\\软件\\\\火狐.exe\r\n");
        QTest::newRow("UTF-8 byte-order mark read, GBK written")
            << QByteArray("\xEF\xBB\xBF") + QString("音乐,music.exe,http://m,\r\n").toUtf8()
            << QStringList{"c:\\music.exe"} << gbk("音乐,music.exe,http://m,file:///c:\\\\music.exe\r\n");
        QTest::newRow("short and odd records are kept, never filled")
            << QByteArray("short,s.exe\r\nfive,f.exe,http://f,,x\r\nnokey,,http://n,\r\n")
            << QStringList{"c:\\s.exe", "c:\\f.exe", "c:\\anything"}
            << QByteArray("nokey,,http://n,\r\nfive,f.exe,http://f,,x\r\nshort,s.exe\r\n");
    }

    void scanWithFakeListing() {
        QFETCH(QByteArray, before);
        QFETCH(QStringList, paths);
        QFETCH(QByteArray, after);
        if (!before.isNull())
            m_dir->write("software.txt", before);
        auto* listing = new FakeExecutableListing;
        listing->paths = paths;
        SoftwareThread thread{std::unique_ptr<ExecutableListing>(listing)};
        thread.start();
        QVERIFY(thread.wait(10000));
        QVERIFY(QFile::exists("software.txt"));
        QCOMPARE(m_dir->read("software.txt"), after);
        QVERIFY(!QFile::exists("info.txt"));
    }

    void shellListingInTheLocalCodePage() {
        m_dir->write("software.txt", gbk("音乐,酷狗.exe,http://k,\r\nqq,QQ.exe,http://q,\r\n"));
        auto* listing = new GbkListing;
        listing->paths = QStringList{"D:\\软件\\酷狗音乐\\酷狗.exe", "C:\\QQ.exe"};
        SoftwareThread thread{std::unique_ptr<ExecutableListing>(listing)};
        thread.start();
        QVERIFY(thread.wait(10000));
        QCOMPARE(m_dir->read("software.txt"),
                 gbk("音乐,酷狗.exe,http://k,file:///D:\\\\软件\\\\酷狗音乐\\\\酷狗.exe\r\n"
                     "qq,QQ.exe,http://q,file:///C:\\\\QQ.exe\r\n"));
    }

    void listingFailsRecordsKept() {
        m_dir->write("software.txt", "b,b.exe,http://b,\r\na,a.exe,http://a,file:///c:\\\\a.exe\r\n");
        auto* listing = new FakeExecutableListing;
        listing->fail = true;
        MessageLog log;
        SoftwareThread thread{std::unique_ptr<ExecutableListing>(listing)};
        thread.start();
        QVERIFY(thread.wait(10000));
        QCOMPARE(m_dir->read("software.txt"),
                 QByteArray("a,a.exe,http://a,file:///c:\\\\a.exe\r\nb,b.exe,http://b,\r\n"));
        QVERIFY(log.warnings().contains("Find the application , open info file failed !"));
    }

    void unwritableSoftwareTxtKeepsItsContent() {
        const QByteArray before("x,x.exe,http://x,\nkept,k.exe,http://k,\n");
        m_dir->write("software.txt", before);
        QVERIFY(
            QFile::setPermissions("software.txt", QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
        auto* listing = new FakeExecutableListing;
        listing->paths = QStringList{"c:\\x.exe"};
        MessageLog log;
        SoftwareThread thread{std::unique_ptr<ExecutableListing>(listing)};
        thread.start();
        QVERIFY(thread.wait(10000));
        QCOMPARE(m_dir->read("software.txt"), before);
        QVERIFY(log.warnings().contains("Find the application , open soft file failed !"));
        QVERIFY(!QFile::exists("info.txt"));
        const QStringList left = QDir().entryList(QDir::Files);
        QCOMPARE(left, QStringList{"software.txt"});
    }

    void missingSoftwareTxtIsWarned() {
        MessageLog log;
        SoftwareThread thread{std::make_unique<FakeExecutableListing>()};
        QVERIFY(log.warnings().contains("Find the application , open software file failed when reading !"));
    }

    void linuxWalkerOnATree() {
        const QString root = m_dir->path() + "/root";
        auto file = [&](const QString& rel, QFile::Permissions perms) {
            QDir().mkpath(QFileInfo(root + "/" + rel).absolutePath());
            m_dir->write("root/" + rel, "x");
            QVERIFY(QFile::setPermissions(root + "/" + rel, perms));
        };
        const auto exec = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner;
        const auto plain = QFile::ReadOwner | QFile::WriteOwner;
        file("bin/tool", exec);
        file("bin/readme.txt", plain);
        file("bin/group-only", plain | QFile::ExeGroup);
        file("apps/My Apps/编辑器", exec);
        file("apps/wine/Game.EXE", plain);
        file("apps/deep/a/b/c/d/e/f/deepest", exec);
        QVERIFY(QFile::link(root + "/bin/tool", root + "/apps/tool-link"));
        QVERIFY(QFile::link(root + "/apps", root + "/apps/deep/loop"));   // a loop back up
        QVERIFY(QFile::link(root + "/nowhere", root + "/apps/dangling")); // leads nowhere
        QVERIFY(QFile::link(root + "/bin", root + "/bin-link"));          // a linked folder
        QDir().mkpath(root + "/empty");

        LinuxExecutableListing listing(
            {root + "/bin", " " + root + "/apps ", root + "/missing", root + "/bin-link"});
        QVERIFY(listing.writeList("list.txt"));
        QStringList lines = QString::fromUtf8(m_dir->read("list.txt")).split('\n', Qt::SkipEmptyParts);
        lines.sort();
        QStringList expected{root + "/bin/tool", root + "/bin/group-only", root + "/apps/My Apps/编辑器",
                             root + "/apps/wine/Game.EXE", root + "/apps/deep/a/b/c/d/e/f/deepest",
                             root + "/apps/tool-link",
                             // A root that is itself a link is listed under its own name.
                             root + "/bin-link/tool", root + "/bin-link/group-only"};
        expected.sort();
        QCOMPARE(lines, expected);
        QVERIFY(!listing.writeList(m_dir->path() + "/no/such/folder/list.txt"));

        // The scanner over the same tree.
        m_dir->write("software.txt",
                     gbk("编辑,编辑器,http://e,\r\n工具,tool,http://t,\r\n游戏,Game.EXE,http://g,\r\n"));
        SoftwareThread thread{std::make_unique<LinuxExecutableListing>(QStringList{root + "/apps"})};
        thread.start();
        QVERIFY(thread.wait(10000));
        QStringList records =
            QTextCodec::codecForName("GBK")->toUnicode(m_dir->read("software.txt")).split("\r\n");
        QCOMPARE(records.takeLast(), QString());
        QCOMPARE(records.size(), 3);
        QVERIFY(records.contains("编辑,编辑器,http://e,file:///" + root + "/apps/My Apps/编辑器"));
        QVERIFY(records.contains("游戏,Game.EXE,http://g,file:///" + root + "/apps/wine/Game.EXE"));
        QVERIFY(records.contains("工具,tool,http://t,file:///" + root + "/apps/tool-link"));
        QVERIFY(!QFile::exists("info.txt"));
    }

    void rootsFromServicesIni_data() {
        QTest::addColumn<QByteArray>("ini");
        QTest::addColumn<QStringList>("roots");
        const QString home = QDir::homePath();
        QTest::newRow("no file") << QByteArray()
                                 << QStringList{"/usr/bin", "/usr/local/bin", "/opt", home + "/.local/bin"};
        QTest::newRow("key missing") << QByteArray("[scanner]\n")
                                     << QStringList{"/usr/bin", "/usr/local/bin", "/opt",
                                                    home + "/.local/bin"};
        QTest::newRow("list") << QByteArray("[scanner]\nroots = /a, ~/b , ~\n")
                              << QStringList{"/a", home + "/b", home};
        QTest::newRow("one folder") << QByteArray("[scanner]\nroots = /srv/apps\n")
                                    << QStringList{"/srv/apps"};
    }
    void rootsFromServicesIni() {
        QFETCH(QByteArray, ini);
        QFETCH(QStringList, roots);
        if (!ini.isEmpty())
            m_dir->write("services.ini", ini);
        QCOMPARE(LinuxExecutableListing().roots(), roots);
    }

private:
    std::unique_ptr<TestDir> m_dir;
};

QTEST_MAIN(TestSoftwareThread)
#include "tst_softwarethread.moc"
