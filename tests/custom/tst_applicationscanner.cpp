#include "custom/ApplicationScanner.h"
#include "platform/linux/LinuxExecutableListing.h"
#include "tests/commands/VocabularyFiles.h"
#include "tests/support/MessageLog.h"
#include "tests/support/Rows.h"
#include "tests/support/TestDir.h"

#include <QtTest>

namespace {

using NameMatch = ExecutableListing::NameMatch;

// A listing that writes the given bytes as they are, or fails when they are null.
struct BytesListing : ExecutableListing {
    explicit BytesListing(const QByteArray& bytes, NameMatch match = NameMatch::Contained)
        : bytes(bytes), match(match) {}
    bool writeList(const QString& listPath) override {
        QFile file(listPath);
        return !bytes.isNull() && file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
    }
    NameMatch nameMatch() const override { return match; }
    QByteArray bytes;
    NameMatch match;
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

Q_DECLARE_METATYPE(ExecutableListing::NameMatch)

// software.txt before the scan (absent when null), the listing, software.txt after it, whether
// the scan wrote it, a warning, the name rule.
using Scan = Rows<QByteArray, QByteArray, QByteArray, bool, QString, NameMatch>;

class TestApplicationScanner : public QObject {
    Q_OBJECT
private slots:
    void init() { m_dir.reset(new TestDir); }
    void cleanup() { m_dir.reset(); }

    void scan_data() {
        const Scan row;
        const NameMatch part = NameMatch::Contained, whole = NameMatch::FileName;
        const QByteArray bom = "\xef\xbb\xbf";
        row("records filled in their places, a further path appended",
            "zeta,z.exe,http://z,\r\nalready,a.exe,http://a,file:///c:\\\\old\\\\a.exe\r\n"
            "missing,m.exe,http://m,\r\nbeta,b.exe,http://b,\r\n",
            utf8Lines({"c:\\Program Files\\z.exe", "c:\\x\\a.exe", "c:\\y\\b.exe", "d:\\z.exe"}),
            "zeta,z.exe,http://z,file:///c:\\\\Program Files\\\\z.exe\r\n"
            "already,a.exe,http://a,file:///c:\\\\old\\\\a.exe\r\nmissing,m.exe,http://m,\r\n"
            "beta,b.exe,http://b,file:///c:\\\\y\\\\b.exe\r\nzeta,z.exe,http://z,file:///d:\\\\z.exe\r\n",
            true, "", part);
        row("no software.txt: an empty one", QByteArray(), utf8Lines({"c:\\a.exe"}), "", true,
            "Find the application , open software file failed when reading !", part);
        row("every record of an executable filled, other lines kept as they are",
            "Alpha,tool,http://a,\r\nBeta,tool,http://b,\r\n\r\nno commas\nmore words",
            utf8Lines({"/usr/bin/tool"}),
            "Alpha,tool,http://a,file:////usr/bin/tool\r\nBeta,tool,http://b,file:////usr/bin/tool\r\n"
            "\r\nno commas\nmore words",
            true, "", whole);
        row("file name matched whole, a version only where asked",
            "VSCode,code,http://c,\r\nVLC,vlc,http://v,\r\nGIMP,gimp*,http://g,\r\n",
            utf8Lines({"/usr/bin/osslsigncode", "/usr/bin/rvlc", "/usr/bin/gimp-console-2.10",
                       "/usr/bin/gimp-2.10", "/opt/vlc/vlc", "/usr/bin/code-oss"}),
            "VSCode,code,http://c,\r\nVLC,vlc,http://v,file:////opt/vlc/vlc\r\n"
            "GIMP,gimp*,http://g,file:////usr/bin/gimp-2.10\r\n",
            true, "", whole);
        row("a wrong earlier match is dropped, a right one kept",
            "VSCode,code,http://c,file:////usr/bin/osslsigncode\r\nVLC,vlc,http://v,file:////usr/bin/vlc\r\n",
            utf8Lines({"/usr/bin/osslsigncode", "/usr/bin/vlc"}),
            "VSCode,code,http://c,\r\nVLC,vlc,http://v,file:////usr/bin/vlc\r\n", true, "", whole);
        row("the Windows shell's listing in the local code page",
            gbk("音乐,酷狗.exe,http://k,\r\nqq,QQ.exe,http://q,\r\n"),
            gbkLines({"D:\\软件\\酷狗音乐\\酷狗.exe", "C:\\QQ.exe"}),
            gbk("音乐,酷狗.exe,http://k,file:///D:\\\\软件\\\\酷狗音乐\\\\酷狗.exe\r\nqq,QQ.exe,http://"
                "q,file:///C:\\\\QQ.exe\r\n"),
            true, "", part);
        row("nothing found: not written", "b,b.exe,http://b,\nz,z.exe,http://z,\n", utf8Lines({"c:\\a.exe"}),
            "b,b.exe,http://b,\nz,z.exe,http://z,\n", false, "", part);
        row("listing fails: not written", "b,b.exe,http://b,\r\na,a.exe,http://a,file:///c:\\\\a.exe\r\n",
            QByteArray(), "b,b.exe,http://b,\r\na,a.exe,http://a,file:///c:\\\\a.exe\r\n", false,
            "Find the application , listing the executables failed !", part);
        row("UTF-8 with a byte-order mark: written back in UTF-8", bom + "记事本,notepad,http://n,\r\n",
            utf8Lines({"/usr/bin/notepad"}), bom + "记事本,notepad,http://n,file:////usr/bin/notepad\r\n",
            true, "", whole);
        row("UTF-8 without one: not GBK, never written", "记事本,notepad,http://n,\r\n",
            utf8Lines({"/usr/bin/notepad"}), "记事本,notepad,http://n,\r\n", false, "it is not GBK text",
            whole);
    }
    void scan() {
        const auto [before, listing, after, written, warning, rule] = Scan::fetch();
        const QDateTime old(QDate(2001, 2, 3), QTime(4, 5, 6));
        if (!before.isNull()) {
            m_dir->write("software.txt", before);
            QFile file("software.txt");
            QVERIFY(file.open(QIODevice::ReadWrite) &&
                    file.setFileTime(old, QFileDevice::FileModificationTime));
        }
        MessageLog log;
        ::scan(std::make_unique<BytesListing>(listing, rule));
        QVERIFY(QFile::exists("software.txt"));
        QCOMPARE(m_dir->read("software.txt"), after);
        QCOMPARE(QFileInfo("software.txt").lastModified() != old, written);
        QVERIFY(!QFile::exists("info.txt"));
        if (!warning.isEmpty())
            QVERIFY2(log.warnings().filter(warning).size() == 1, qPrintable(log.warnings().join('\n')));
    }

    void unwritableSoftwareTxtKeepsItsContent() {
        const QByteArray before("x,x.exe,http://x,\nkept,k.exe,http://k,\n");
        m_dir->write("software.txt", before);
        QVERIFY(
            QFile::setPermissions("software.txt", QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
        MessageLog log;
        ::scan(std::make_unique<BytesListing>(utf8Lines({"c:\\x.exe"})));
        QCOMPARE(m_dir->read("software.txt"), before);
        QVERIFY(log.contains("software.txt could not be written (open failed: the file is read-only)"));
        QCOMPARE(QDir().entryList(QDir::Files), QStringList{"software.txt"});
    }

    // Executables and ".exe" files under the roots, without going round a loop; other files are
    // left out.
    void linuxWalkerOnATree() {
        const QString root = m_dir->path() + "/root";
        QDir().mkpath(root + "/My Apps");
        for (const char* name : {"My Apps/编辑器", "Game.EXE", "readme.txt"})
            m_dir->write(QString("root/") + name, "x");
        QVERIFY(QFile::setPermissions(root + "/My Apps/编辑器", QFile::ReadOwner | QFile::ExeOwner));
        QVERIFY(QFile::link(root, root + "/My Apps/loop")); // a loop back up
        QVERIFY(LinuxExecutableListing({" " + root + " "}).writeList("list.txt"));
        QStringList lines = QString::fromUtf8(m_dir->read("list.txt")).split('\n', Qt::SkipEmptyParts);
        lines.sort();
        QCOMPARE(lines, (QStringList{root + "/Game.EXE", root + "/My Apps/编辑器"}));
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
