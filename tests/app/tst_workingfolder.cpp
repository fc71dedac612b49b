// Where the program keeps its files: beside a writable executable, or in the per-user folder of
// an installed copy, which is seeded from the shipped files and never loses the user's edits.
#include "app/WorkingFolder.h"
#include "tests/support/Rows.h"
#include "tests/support/TestDir.h"

#include <QtTest>

class TestWorkingFolder : public QObject {
    Q_OBJECT
private slots:
    void init() {
        m_dir.reset(new TestDir);
        qputenv("XDG_DATA_HOME", m_dir->file("data home").toUtf8());
    }
    void cleanup() { m_dir.reset(); }

    void keepsUserFilesAcrossStartsAndUpgrades_data() {
        const Rows<bool, bool> row; // installed copy, package upgraded between the starts
        row("installed, upgrade", true, true);
        row("writable executable folder", false, false);
    }
    void keepsUserFilesAcrossStartsAndUpgrades() {
        const auto [installed, upgrade] = Rows<bool, bool>::fetch();
        const QString shipped = installed ? "usr/share/zorvel/" : "usr/bin/";
        const QString user = installed ? "data home/zorvel/" : "usr/bin/";
        QDir().mkpath(m_dir->file("usr/bin"));
        QDir().mkpath(m_dir->file(shipped));
        for (const QString& name : WorkingFolder::shippedFiles())
            m_dir->write(shipped + name, "shipped " + name.toUtf8());

        // First start.
        const WorkingFolder folder = WorkingFolder::forExecutable(m_dir->file("usr/bin"));
        QCOMPARE(folder.path() + '/', m_dir->file(user));
        QCOMPARE(folder.isPerUser(), installed);
        QVERIFY(folder.prepare());
        for (const QString& name : WorkingFolder::shippedFiles())
            QCOMPARE(m_dir->read(user + name), "shipped " + name.toUtf8());

        // The user edits a command word; then, maybe, a newer package ships new files.
        m_dir->write(user + "commandwords.txt", "mine,file:///home/me\r\n");
        if (upgrade) {
            m_dir->write(shipped + "commandwords.txt", "newer commandwords");
            m_dir->write(shipped + "area.txt", "newer area");
        }
        QVERIFY(WorkingFolder::forExecutable(m_dir->file("usr/bin")).prepare());
        QCOMPARE(m_dir->read(user + "commandwords.txt"), QByteArray("mine,file:///home/me\r\n"));
        QCOMPARE(m_dir->read(user + "area.txt"), upgrade ? QByteArray("newer area") : "shipped area.txt");
    }

private:
    std::unique_ptr<TestDir> m_dir;
};

QTEST_GUILESS_MAIN(TestWorkingFolder)
#include "tst_workingfolder.moc"
