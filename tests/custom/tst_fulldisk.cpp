// Every writer on a full disk: the old file stays as it was, no temporary is left behind, and one
// warning names the file and the step; seeding the working folder leaves no empty file.
#include "app/ConfigStore.h"
#include "app/ServicesIniEditor.h"
#include "app/WorkingFolder.h"
#include "custom/ApplicationScanner.h"
#include "custom/CustomCommandEditor.h"
#include "tests/commands/VocabularyFiles.h"
#include "tests/support/FullDisk.h"
#include "tests/support/MessageLog.h"
#include "tests/support/Rows.h"
#include "tests/support/TestDir.h"

#include <QtTest>
#include <QtWidgets>

enum Writer { SaveConfig, EditServicesIni, Scan, AddWord, DeleteWord };

// Lists one executable, then takes the rest of the disk, as other programs may while the scan runs.
struct FillingListing : ExecutableListing {
    explicit FillingListing(FullDisk& disk) : disk(disk) {}
    bool writeList(const QString& listPath) override {
        QFile file(listPath);
        const bool written = file.open(QIODevice::WriteOnly) && file.write("/usr/bin/editor\n") > 0;
        file.close();
        disk.fill();
        return written;
    }
    NameMatch nameMatch() const override { return NameMatch::FileName; }
    FullDisk& disk;
};

static QStringList files(const QString& folder = ".") {
    return QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
}

using Writes = Rows<int, QString, QByteArray>; // writer, file, its content before

class TestFullDisk : public QObject {
    Q_OBJECT
private slots:
    void writerKeepsTheOldFile_data() {
        const Writes row;
        row("config.txt saved", SaveConfig, "config.txt", "BootUp=0\nIntelligenceModel=1\n");
        row("services.ini edited", EditServicesIni, "services.ini", "; mine\n[speech]\nurl=http://old\n");
        row("software.txt completed by the scan", Scan, "software.txt", "Editor,editor,http://e,\r\n");
        row("commandwords.txt: a word added", AddWord, "commandwords.txt", gbkLines({"文档,file:///C:/doc"}));
        row("commandwords.txt: a word deleted", DeleteWord, "commandwords.txt",
            gbkLines({"文档,file:///C:/doc", "新,file:///C:/new"}));
    }
    void writerKeepsTheOldFile() {
        const auto [writer, name, before] = Writes::fetch();
        TestDir dir;
        FullDisk disk(dir.path());
        if (!disk.isMounted())
            QSKIP("a private tmpfs needs the superuser");
        for (const char* read : {"webSearch.txt", "software.txt", "filler"}) // the editor reads the first two
            dir.write(read, "");
        dir.write(name, before);
        TestDir::reloadSettings();
        const QStringList present = files();
        if (writer != Scan)
            disk.fill();

        MessageLog log;
        QString error;
        if (writer == SaveConfig) {
            ConfigStore::instance()["BootUp"] = 1;
            QVERIFY(!ConfigStore::instance().save());
        } else if (writer == EditServicesIni) {
            QVERIFY(!ServicesIniEditor::write("services.ini", "speech", {{"url", "http://new"}}, &error));
        } else if (writer == Scan) {
            ApplicationScanner scanner{std::make_unique<FillingListing>(disk)};
            scanner.start();
            QVERIFY(scanner.wait(10000));
        } else {
            CustomCommandEditor editor;
            auto* words = editor.findChild<QComboBox*>("definedWordCombo");
            words->setCurrentIndex(words->findText("新"));
            editor.findChild<QLineEdit*>("wordEdit")->setText("新");
            editor.findChild<QLineEdit*>("folderEdit")->setText("C:/new");
            editor.findChild<QAbstractButton*>(writer == AddWord ? "addFolderButton" : "deleteButton")
                ->click();
        }

        QCOMPARE(dir.read(name), before);
        QCOMPARE(files(), present);
        QStringList warnings = log.warnings();
        warnings.removeAll("This plugin does not support raise()");
        QCOMPARE(warnings.size(), 1);
        QVERIFY2(warnings[0].contains(name + " could not be written (") && warnings[0].contains(" failed: "),
                 qPrintable(warnings[0]));
    }

    // An installed copy started with a full home folder: nothing seeded, nothing left empty; once
    // there is room again, the next start seeds every file.
    void seedingOnAFullDisk() {
        TestDir dir;
        QDir().mkpath("usr/bin");
        QDir().mkpath("usr/share/zorvel");
        QDir().mkpath("home/zorvel");
        for (const QString& name : WorkingFolder::shippedFiles())
            dir.write("usr/share/zorvel/" + name, "shipped " + name.toUtf8());
        qputenv("XDG_DATA_HOME", QFile::encodeName(dir.file("home")));
        const WorkingFolder folder = WorkingFolder::forExecutable(dir.file("usr/bin"));
        FullDisk disk(folder.path());
        if (!disk.isMounted())
            QSKIP("a private tmpfs needs the superuser");
        disk.fill();

        MessageLog log;
        QVERIFY(folder.prepare());
        QCOMPARE(files(folder.path()), QStringList{"filler"});
        QCOMPARE(log.warnings().size(), WorkingFolder::shippedFiles().size());
        disk.free();
        QVERIFY(folder.prepare());
        for (const QString& name : WorkingFolder::shippedFiles())
            QCOMPARE(dir.read("home/zorvel/" + name), "shipped " + name.toUtf8());
    }
};

int main(int argc, char* argv[]) {
    FullDisk::enterPrivateMounts(); // before the application starts any thread
    QApplication app(argc, argv);
    TestFullDisk test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_fulldisk.moc"
