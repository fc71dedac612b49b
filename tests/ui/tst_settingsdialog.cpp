#include "UiTestSupport.h"
#include "app/ServicesConfig.h"
#include "platform/fake/FakeMouseButtons.h"
#include "tests/support/LoopbackHttpServer.h"
#include "tests/support/Rows.h"
#include "voice/speech/SpeechConnectionTest.h"
#include "voice/speech/SpeechService.h"

namespace {
// The dialog with its start-at-logon fake.
struct Dialog {
    FakeStartAtLogon logon;
    SettingsDialog dialog{nullptr, &logon};
    QAbstractButton* operator()(const QString& name) { return UiTest::child(dialog, name); }
    QComboBox* list(const QString& name) { return UiTest::child<QComboBox>(dialog, name); }
    QLineEdit* edit(const QString& name) { return UiTest::child<QLineEdit>(dialog, name); }
    QString status() { return UiTest::child<QLabel>(dialog, "speechStatusLabel")->text(); }
};

// Which items of a list can be chosen, as digits ("01000").
QString enabledItems(QComboBox* box) {
    QString out;
    auto* model = qobject_cast<QStandardItemModel*>(box->model());
    for (int i = 0; i < box->count(); ++i)
        out += model->item(i)->isEnabled() ? '1' : '0';
    return out;
}

enum ServerKind { Answers, NeverAnswers };
} // namespace

class TestSettingsDialog : public UiTest {
    Q_OBJECT
private slots:
    void init() {
        UiTest::init();
        writeDefaultConfig(); // intelligent mode, automatic update, all boxes off
        ConfigStore::instance().reload();
    }
    // Control, index for lists (ignored for buttons and boxes), the values saved. The buttons
    // only close the dialog: "取消" undoes nothing, every change is saved already.
    void controlsWriteAndSave_data() {
        const Rows<QString, int, Values> row;
        row("translation mode", "translationModeRadio", 0, modes("001"));
        row("no update", "noUpdateRadio", 0, values("AutomaticUpdate=0 ReminderUpdate=0 NotUpdate=1"));
        row("typing language only", "typingLanguageCombo", 3,
            values("TypingLanguage=3 IntelligenceLanguage=0"));
        row("start at logon", "startAtLogonCheck", 0, values("BootUp=1"));
    }
    void controlsWriteAndSave() {
        const auto [control, value, expected] = Rows<QString, int, Values>::fetch();
        Dialog d;
        if (auto* box = d.dialog.findChild<QComboBox*>(control))
            box->setCurrentIndex(value);
        else
            d(control)->click();
        QSignalSpy closing(&d.dialog, &SettingsDialog::closeDialog);
        for (const char* button : {"okButton", "cancelButton", "closeButton"})
            d(button)->click();
        QCOMPARE(closing.count(), 3);
        QCOMPARE(saved(expected), expected);
        QCOMPARE(d.logon.present, control == "startAtLogonCheck");
    }
    // Shows every stored value; the checked start-at-logon box registers again on opening.
    void loadsEveryControl() {
        preset(modes("001"));
        preset(values(
            "TypingLanguage=2 IntelligenceLanguage=4 TranslationLanguage=1 TranslationResultLanguage=23 "
            "AutomaticUpdate=0 ReminderUpdate=1 BootUp=1 ClosePrompt=1 RemovePunctuation=1"));
        Dialog d;
        for (const char* name : {"translationModeRadio", "remindUpdateRadio", "removePunctuationCheck",
                                 "closeNoticesCheck", "startAtLogonCheck"})
            QVERIFY2(d(name)->isChecked(), name);
        QCOMPARE(d.list("intelligentLanguageCombo")->currentIndex(), 4);
        QCOMPARE(d.list("translationTargetCombo")->currentIndex(), 23);
        QVERIFY(d.logon.present);
        QVERIFY(!UiTest::child<QLabel>(d.dialog, "inputAccessLabel")->isVisible());
    }
    // The note on unreadable input devices shows only where the side key reads them (a Wayland
    // session); an X11 session has it from the X server.
    void inputAccessNote_data() {
        const Rows<QByteArray, bool, bool> row; // WAYLAND_DISPLAY, devices unreadable, note shown
        row("X11 session", "", true, false);
        row("Wayland session, readable", "wayland-1", false, false);
        row("Wayland session, unreadable", "wayland-1", true, true);
    }
    void inputAccessNote() {
        const auto [wayland, denied, shown] = Rows<QByteArray, bool, bool>::fetch();
        const QByteArray before = qgetenv("WAYLAND_DISPLAY"), sessionType = qgetenv("XDG_SESSION_TYPE");
        qputenv("WAYLAND_DISPLAY", wayland);
        qunsetenv("XDG_SESSION_TYPE");
        FakeMouseButtons::denyDeviceAccess(denied);
        Dialog d;
        FakeMouseButtons::denyDeviceAccess(false);
        qputenv("WAYLAND_DISPLAY", before);
        qputenv("XDG_SESSION_TYPE", sessionType);
        const QLabel* note = UiTest::child<QLabel>(d.dialog, "inputAccessLabel");
        QCOMPARE(note->isVisible(), shown);
        QVERIFY(note->text().contains("input 组") && note->text().contains("zorvel --take toggle"));
    }
    // Choosing the server and leaving the address field saves the [speech] keys at once, keeps the
    // file's other lines, unlocks the languages the offline engine cannot recognise and asks for
    // the engine swap. A file that cannot be
    // written is reported; the settings then hold in memory.
    void savesTheSpeechGroup_data() {
        const Rows<bool> row;
        row("writable", true);
        row("unwritable", false);
    }
    void savesTheSpeechGroup() {
        const auto [writable] = Rows<bool>::fetch();
        const QByteArray before = "; mine\n[speech]\n;url=\n\n[sites]\nsearch_engine=example.org\n";
        writeServices(before);
        if (!writable) {
            QVERIFY(QFile::remove("services.ini"));
            QVERIFY(QDir().mkdir("services.ini"));
        }
        Dialog d;
        QSignalSpy changed(&d.dialog, &SettingsDialog::speechEngineChanged);
        QCOMPARE(enabledItems(d.list("typingLanguageCombo")), QString("01000")); // offline: English only
        if (!writable)
            QTest::ignoreMessage(QtWarningMsg, QRegularExpression("services.ini could not be written"));
        d.list("speechEngineCombo")->setCurrentIndex(1);
        emit d.list("speechEngineCombo")->activated(1);
        d.edit("speechUrlEdit")->setText("http://127.0.0.1:9/asr");
        if (!writable)
            QTest::ignoreMessage(QtWarningMsg, QRegularExpression("services.ini could not be written"));
        emit d.edit("speechUrlEdit")->editingFinished();
        emit d.edit("speechUrlEdit")->editingFinished(); // unchanged: no second save
        QCOMPARE(changed.count(), 2);
        QCOMPARE(enabledItems(d.list("typingLanguageCombo")), QString("11111"));
        QCOMPARE(ServicesConfig::instance().text("speech/url", {}), QString("http://127.0.0.1:9/asr"));
        QVERIFY(SpeechService::create()->canRecognise(0)); // the engine the next take is given
        if (writable) {
            QFile file("services.ini");
            QVERIFY(file.open(QIODevice::ReadOnly));
            QCOMPARE(file.readAll(),
                     QByteArray("; mine\n[speech]\n;url=\nengine=http\nurl=http://127.0.0.1:9/asr\n"
                                "key=\nmodel=default\n\n[sites]\nsearch_engine=example.org\n"));
            QVERIFY(d.status().startsWith("已保存"));
        } else {
            QVERIFY2(d.status().startsWith("services.ini 无法写入"), qPrintable(d.status()));
        }
    }

    // "测试连接" tries the address in the form and shows each outcome in its own words; the
    // dialog keeps working while the server is asked.
    void testsTheConnection_data() {
        const Rows<int, int, QByteArray, bool, QString> row; // server, status, body, take, expected
        row("answered, then the latest take", Answers, 200, R"({"text": " hello "})", true,
            "^一秒静音：已应答，用时 \\d+ 毫秒：“hello”\n最近一次录音：已应答");
        row("no answer", NeverAnswers, 0, "", false, "^一秒静音：\\d+ 毫秒内没有应答$");
    }
    void testsTheConnection() {
        const auto [kind, status, body, take, expected] = Rows<int, int, QByteArray, bool, QString>::fetch();
        LoopbackHttpServer server;
        server.mode = kind == NeverAnswers ? LoopbackHttpServer::Silent : LoopbackHttpServer::Answer;
        server.status = status;
        server.body = body;
        writeServices("[speech]\ntimeout_ms=1500\n");
        const QByteArray recording = SpeechConnectionTest::silence(200);
        if (take) {
            QFile file("record.wav");
            QVERIFY(file.open(QIODevice::WriteOnly) && file.write(recording) > 0);
        }
        Dialog d;
        d.list("speechEngineCombo")->setCurrentIndex(1);
        emit d.list("speechEngineCombo")->activated(1);
        d.edit("speechUrlEdit")->setText(server.url() + "/base/");
        d.edit("speechKeyEdit")->setText("k1");
        QAbstractButton* button = d("speechTestButton");
        button->click();
        QVERIFY(!button->isEnabled()); // the request runs in the background
        QTRY_VERIFY_WITH_TIMEOUT(button->isEnabled(), 8000);
        QVERIFY2(QRegularExpression(expected).match(d.status()).hasMatch(), qPrintable(d.status()));
        if (kind == Answers) {
            QCOMPARE(server.requests.size(), take ? 2 : 1);
            QCOMPARE(server.requests[0].path, QByteArray("/base/v1/audio/transcriptions"));
            QCOMPARE(server.requests[0].header("Authorization"), QByteArray("Bearer k1"));
            QVERIFY(server.requests[0].body.contains(SpeechConnectionTest::silence(1000)));
            QVERIFY(!take || server.requests[1].body.contains(recording));
        }
    }
};

QTEST_MAIN(TestSettingsDialog)
#include "tst_settingsdialog.moc"
