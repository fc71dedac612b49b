#include "platform/ProgramLauncher.h"
#include "tests/support/TestDir.h"

#include <QDesktopServices>
#include <QtTest>

// Spoken commands open programs through file URLs; on Linux these must start the program
// rather than hand it to a document viewer.
class TestProgramLauncher : public QObject {
    Q_OBJECT

    std::unique_ptr<TestDir> m_dir;
    QByteArray m_path;

    void writeScript(const QString& name, const QByteArray& body) {
        m_dir->write(name, "#!/bin/sh\n" + body);
        QFile::setPermissions(m_dir->file(name), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }

private slots:
    void init() {
        m_dir = std::make_unique<TestDir>(QStringLiteral("程序 launcher"));
        m_path = qgetenv("PATH");
        // A stand-in for the desktop's opener that records what it was asked to open.
        QDir().mkdir(m_dir->file("bin"));
        writeScript("bin/xdg-open", "printf '%s' \"$1\" > \"" + m_dir->file("opened").toUtf8() + "\"\n");
        qputenv("PATH", m_dir->file("bin").toUtf8() + ":" + m_path);
        ProgramLauncher::install();
    }
    void cleanup() {
        QDesktopServices::unsetUrlHandler("file");
        qputenv("PATH", m_path);
        m_dir.reset();
    }

    void startsExecutables_data() {
        QTest::addColumn<QString>("url"); // %1 = the folder
        QTest::newRow("plain file URL") << "file://%1/app.sh";
        QTest::newRow("stored with an extra slash") << "file:///%1/app.sh";
    }
    void startsExecutables() {
        QFETCH(QString, url);
        writeScript("app.sh", "pwd > started\n");
        QVERIFY(QDesktopServices::openUrl(QUrl(url.arg(m_dir->path()), QUrl::TolerantMode)));
        QTRY_VERIFY(QFile::exists(m_dir->file("started")));
        // It runs in its own folder, so it finds files beside it.
        QCOMPARE(m_dir->read("started").trimmed(), m_dir->path().toUtf8());
        QVERIFY(!QFile::exists(m_dir->file("opened")));
    }

    void documentsAndFoldersGoToTheDesktopOpener_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("folder");
        QTest::newRow("document") << "说明.txt" << false;
        QTest::newRow("not executable") << "app.sh" << false;
        QTest::newRow("folder") << "文件夹" << true;
    }
    void documentsAndFoldersGoToTheDesktopOpener() {
        QFETCH(QString, name);
        QFETCH(bool, folder);
        if (folder)
            QDir().mkdir(m_dir->file(name));
        else
            m_dir->write(name, "#!/bin/sh\ntouch started\n");
        QDesktopServices::openUrl(QUrl::fromLocalFile(m_dir->file(name)));
        QTRY_VERIFY(QFile::exists(m_dir->file("opened")));
        QCOMPARE(QUrl(QString::fromUtf8(m_dir->read("opened"))).toLocalFile(), m_dir->file(name));
        QVERIFY(!QFile::exists(m_dir->file("started")));
    }
};

QTEST_GUILESS_MAIN(TestProgramLauncher)
#include "tst_programlauncher.moc"
