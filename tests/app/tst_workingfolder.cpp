// Where the program keeps its files: beside a writable executable, or in the per-user folder of
// an installed copy, which is seeded from the shipped files and never loses the user's edits.
#include "app/ServicesConfig.h"
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
    void cleanup() {
        ServicesConfig::instance().setShippedFile(QString());
        m_dir.reset();
    }

    void keepsUserFilesAcrossStartsAndUpgrades_data() {
        const Rows<bool, bool> row; // installed copy, package upgraded between the starts
        row("installed, second start", true, false);
        row("installed, upgrade", true, true);
        row("writable executable folder", false, false);
    }
    void keepsUserFilesAcrossStartsAndUpgrades() {
        const auto [installed, upgrade] = Rows<bool, bool>::fetch();
        const QString exeDir = m_dir->file("usr/bin");
        const QString shipped = installed ? m_dir->file("usr/share/zorvel") : exeDir;
        QDir().mkpath(exeDir);
        QDir().mkpath(shipped);
        for (const QString& name : WorkingFolder::shippedFiles())
            write(shipped + '/' + name, "shipped " + name.toUtf8());

        // First start.
        const WorkingFolder folder = WorkingFolder::forExecutable(exeDir);
        QCOMPARE(folder.path(), installed ? m_dir->file("data home/zorvel") : exeDir);
        QCOMPARE(folder.isPerUser(), installed);
        QVERIFY(folder.prepare());
        for (const QString& name : WorkingFolder::shippedFiles())
            QCOMPARE(read(folder.path() + '/' + name), "shipped " + name.toUtf8());
        QCOMPARE(QFileInfo::exists(m_dir->file("data home/zorvel")), installed);

        // The user edits a command word; then, maybe, a newer package ships new files.
        write(folder.path() + "/commandwords.txt", "mine,file:///home/me\r\n");
        if (upgrade) {
            write(shipped + "/commandwords.txt", "newer commandwords");
            write(shipped + "/area.txt", "newer area");
        }
        QVERIFY(WorkingFolder::forExecutable(exeDir).prepare());
        QCOMPARE(read(folder.path() + "/commandwords.txt"), QByteArray("mine,file:///home/me\r\n"));
        QCOMPARE(read(folder.path() + "/area.txt"), upgrade ? QByteArray("newer area") : "shipped area.txt");
    }

    void userServicesOverrideShippedKeyByKey() {
        write(m_dir->file("shipped.ini"), "[update]\nserver=http://shipped\n[product]\npage=http://page\n");
        write(m_dir->file("services.ini"), "[update]\nserver=http://mine\n");
        ServicesConfig::instance().setShippedFile(m_dir->file("shipped.ini"));
        QCOMPARE(ServicesConfig::instance().text("update/server", "x"), QStringLiteral("http://mine"));
        QCOMPARE(ServicesConfig::instance().text("product/page", "x"), QStringLiteral("http://page"));
    }

private:
    static QByteArray read(const QString& path) {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
    }
    static void write(const QString& path, const QByteArray& content) {
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(content);
    }

    std::unique_ptr<TestDir> m_dir;
};

QTEST_GUILESS_MAIN(TestWorkingFolder)
#include "tst_workingfolder.moc"
