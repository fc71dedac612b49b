#include "platform/ProgramLauncher.h"
#include "tests/support/Rows.h"
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
        // A stand-in for the desktop's opener that records what it was asked to open; the record
        // appears whole (renamed into place), since the test polls for it.
        QDir().mkdir(m_dir->file("bin"));
        const QByteArray opened = m_dir->file("opened").toUtf8();
        writeScript("bin/xdg-open", "printf '%s' \"$1\" > \"" + opened + ".part\" && mv \"" + opened +
                                        ".part\" \"" + opened + "\"\n");
        qputenv("PATH", m_dir->file("bin").toUtf8() + ":" + m_path);
        ProgramLauncher::install();
    }
    void cleanup() {
        QDesktopServices::unsetUrlHandler("file");
        qputenv("PATH", m_path);
        m_dir.reset();
    }

    // Executables start in their own folder, so they find files beside them; files that are not
    // executable and folders go to the desktop's opener.
    void opens_data() {
        const Rows<QString, QString, QString> row; // name, kind, URL (%1 = the folder; empty: the name's)
        row("executable", "app.sh", "exe", "file://%1/app.sh");
        row("executable stored with an extra slash", "app.sh", "exe", "file:///%1/app.sh");
        row("not executable", "说明.sh", "file", "");
        row("folder", "文件夹", "folder", "");
    }
    void opens() {
        const auto [name, kind, url] = Rows<QString, QString, QString>::fetch();
        if (kind == "folder")
            QDir().mkdir(m_dir->file(name));
        else if (kind == "exe")
            writeScript(name, "pwd > started.part && mv started.part started\n");
        else
            m_dir->write(name, "#!/bin/sh\npwd > started.part && mv started.part started\n");
        QDesktopServices::openUrl(url.isEmpty() ? QUrl::fromLocalFile(m_dir->file(name))
                                                : QUrl(url.arg(m_dir->path()), QUrl::TolerantMode));
        const bool started = kind == "exe";
        QTRY_VERIFY(QFile::exists(m_dir->file(started ? "started" : "opened")));
        if (started)
            QCOMPARE(m_dir->read("started").trimmed(), m_dir->path().toUtf8());
        else
            QCOMPARE(QUrl(QString::fromUtf8(m_dir->read("opened"))).toLocalFile(), m_dir->file(name));
        QVERIFY(!QFile::exists(m_dir->file(started ? "opened" : "started")));
    }
};

QTEST_GUILESS_MAIN(TestProgramLauncher)
#include "tst_programlauncher.moc"
