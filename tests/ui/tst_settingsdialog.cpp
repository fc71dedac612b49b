#include "UiTestSupport.h"

namespace {
// The dialog with its start-at-logon fake.
struct Dialog {
    FakeStartAtLogon logon;
    SettingsDialog dialog{nullptr, &logon};
    QAbstractButton* operator()(const QString& name) { return UiTest::child(dialog, name); }
    QComboBox* list(const QString& name) { return UiTest::child<QComboBox>(dialog, name); }
};
} // namespace

class TestSettingsDialog : public UiTest {
    Q_OBJECT
private slots:
    void init() {
        UiTest::init();
        writeDefaultConfig(); // intelligent mode, automatic update, all boxes off
        ConfigStore::instance().reload();
    }
    // Shows itself centred. Translation offers no dialects; the targets follow the client's codes.
    void openingAndLists() {
        Dialog d;
        QVERIFY(d.dialog.isVisible() && d.dialog.testAttribute(Qt::WA_DeleteOnClose));
        QCOMPARE(d.dialog.pos(), desktopCentreOffset(320, 300));
        QCOMPARE(d.list("translationSourceCombo")->count(), 3);
        QCOMPARE(d.list("translationTargetCombo")->count(), 25);
        QCOMPARE(d.list("translationTargetCombo")->itemText(24), QString("越南语"));
    }
    void controlsWriteAndSave_data() {
        QTest::addColumn<QString>("control");
        QTest::addColumn<int>("value"); // index for lists, ignored for buttons and boxes
        QTest::addColumn<Values>("expected");
        QTest::newRow("typing mode") << "typingModeRadio" << 0 << modes("100");
        QTest::newRow("translation mode") << "translationModeRadio" << 0 << modes("001");
        QTest::newRow("reminder update")
            << "remindUpdateRadio" << 0 << values("AutomaticUpdate=0 ReminderUpdate=1 NotUpdate=0");
        QTest::newRow("no update") << "noUpdateRadio" << 0
                                   << values("AutomaticUpdate=0 ReminderUpdate=0 NotUpdate=1");
        QTest::newRow("typing language only")
            << "typingLanguageCombo" << 3 << values("TypingLanguage=3 IntelligenceLanguage=0");
        QTest::newRow("intelligent language")
            << "intelligentLanguageCombo" << 4 << Values{{"IntelligenceLanguage", 4}};
        QTest::newRow("translation source")
            << "translationSourceCombo" << 2 << Values{{"TranslationLanguage", 2}};
        QTest::newRow("Vietnamese target")
            << "translationTargetCombo" << 24 << Values{{"TranslationResultLanguage", 24}};
        QTest::newRow("remove punctuation")
            << "removePunctuationCheck" << 0 << Values{{"RemovePunctuation", 1}};
        QTest::newRow("close notices") << "closeNoticesCheck" << 0 << Values{{"ClosePrompt", 1}};
        QTest::newRow("start at logon") << "startAtLogonCheck" << 0 << Values{{"BootUp", 1}};
    }
    void controlsWriteAndSave() {
        QFETCH(QString, control);
        QFETCH(int, value);
        QFETCH(Values, expected);
        Dialog d;
        if (auto* box = d.dialog.findChild<QComboBox*>(control))
            box->setCurrentIndex(value);
        else
            d(control)->click();
        QCOMPARE(saved(expected), expected);
        QCOMPARE(d.logon.present, control == "startAtLogonCheck");
    }
    // A stored value the list does not offer leaves no current item, and -1 is written back.
    void outOfRangeLanguageWritesMinusOne() {
        const Values stored = values("TypingLanguage=9 TranslationLanguage=3 TranslationResultLanguage=25");
        preset(stored);
        Dialog d;
        for (const char* box : {"typingLanguageCombo", "translationSourceCombo", "translationTargetCombo"})
            QCOMPARE(d.list(box)->currentIndex(), -1);
        QCOMPARE(saved(stored),
                 values("TypingLanguage=-1 TranslationLanguage=-1 TranslationResultLanguage=-1"));
    }
    // The checked start-at-logon box registers again on opening.
    void loadsEveryControl() {
        preset(modes("001"));
        preset(values(
            "TypingLanguage=2 IntelligenceLanguage=4 TranslationLanguage=1 TranslationResultLanguage=23 "
            "AutomaticUpdate=0 ReminderUpdate=1 BootUp=1 ClosePrompt=1 RemovePunctuation=1"));
        Dialog d;
        for (const char* name : {"translationModeRadio", "remindUpdateRadio", "removePunctuationCheck",
                                 "closeNoticesCheck", "startAtLogonCheck"})
            QVERIFY2(d(name)->isChecked(), name);
        for (const auto& [box, index] :
             {qMakePair(QString("typingLanguageCombo"), 2), qMakePair(QString("intelligentLanguageCombo"), 4),
              qMakePair(QString("translationSourceCombo"), 1),
              qMakePair(QString("translationTargetCombo"), 23)})
            QCOMPARE(d.list(box)->currentIndex(), index);
        QVERIFY(d.logon.present);
        QCOMPARE(d.logon.path, QCoreApplication::applicationFilePath());
        QCOMPARE(saved().value("TranslationModel"), 1);
        d("startAtLogonCheck")->click(); // unchecking removes the registration
        QVERIFY(!d.logon.present);
        QCOMPARE(saved().value("BootUp"), 0);
    }
    // Mode and lists follow the tray and the floating tool; update buttons and boxes do not.
    void followsTrayAndToolWithinOneTick() {
        Dialog d;
        ConfigStore& store = ConfigStore::instance();
        const Values changed =
            values("TypingLanguage=4 TranslationResultLanguage=5 IntelligenceModel=0 TypingModel=1");
        for (auto it = changed.cbegin(); it != changed.cend(); ++it) // in memory only, as the tray does
            store[it.key()] = it.value();
        QTRY_COMPARE_WITH_TIMEOUT(d.list("typingLanguageCombo")->currentIndex(), 4, 3000);
        QCOMPARE(d.list("translationTargetCombo")->currentIndex(), 5);
        QVERIFY(d("typingModeRadio")->isChecked());
        const Values written = values("TypingModel=1 IntelligenceModel=0 TypingLanguage=4");
        QCOMPARE(saved(written), written);
        store["NotUpdate"] = 1;
        store["RemovePunctuation"] = 1;
        d.dialog.refreshFromStore();
        QVERIFY(!d("noUpdateRadio")->isChecked());
        QVERIFY(!d("removePunctuationCheck")->isChecked());
    }
    // "取消" undoes nothing: every change is saved already.
    void buttonsOnlyClose() {
        Dialog d;
        d.list("translationTargetCombo")->setCurrentIndex(9);
        QSignalSpy closing(&d.dialog, &SettingsDialog::closeDialog);
        for (const char* button : {"okButton", "cancelButton", "closeButton"})
            d(button)->click();
        QCOMPARE(closing.count(), 3);
        QCOMPARE(saved().value("TranslationResultLanguage"), 9);
    }
    void dragsWithTheLeftButton() {
        Dialog d;
        d.dialog.move(100, 100);
        const QPoint start = d.dialog.frameGeometry().topLeft() + QPoint(50, 10);
        const auto send = [&](QEvent::Type type, QPoint global, Qt::MouseButtons held) {
            const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
            QMouseEvent event(type, QPointF(50, 10), QPointF(global), button, held, Qt::NoModifier);
            QApplication::sendEvent(&d.dialog, &event);
            return event.isAccepted();
        };
        QVERIFY(send(QEvent::MouseButtonPress, start, Qt::LeftButton));
        send(QEvent::MouseMove, start + QPoint(30, 40), Qt::LeftButton);
        QCOMPARE(d.dialog.frameGeometry().topLeft(), QPoint(130, 140));
        send(QEvent::MouseMove, start + QPoint(300, 300), Qt::RightButton);
        QCOMPARE(d.dialog.frameGeometry().topLeft(), QPoint(130, 140));
    }
};

QTEST_MAIN(TestSettingsDialog)
#include "tst_settingsdialog.moc"
