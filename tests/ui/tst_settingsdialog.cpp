#include "UiTestSupport.h"
#include "platform/fake/FakeStartAtLogon.h"
#include "ui/DesktopGeometry.h"
#include "ui/SoftwareSettingsDialog.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QMouseEvent>
#include <QRadioButton>

using namespace uitest;

using Values = QMap<QString, int>;
Q_DECLARE_METATYPE(Values)

namespace {
template <typename T> T* child(QWidget& parent, const QString& name) {
    T* found = parent.findChild<T*>(name);
    if (!found)
        qFatal("no widget %s", qPrintable(name));
    return found;
}

QStringList items(QComboBox* box) {
    QStringList texts;
    for (int i = 0; i < box->count(); ++i)
        texts << box->itemText(i);
    return texts;
}
} // namespace

class TestSettingsDialog : public QObject {
    Q_OBJECT
    Fixture m_fixture;

private slots:
    void initTestCase() { installFontSubstitutions(); }
    void init() {
        m_fixture.init();
        writeDefaultConfig();
        ConfigStore::instance().reload();
    }
    void cleanup() { m_fixture.cleanup(); }

    void formAndPlacement() {
        FakeStartAtLogon logon;
        SoftwareSettingsDialog dialog(nullptr, &logon);
        QVERIFY(dialog.isVisible());
        QCOMPARE(dialog.size(), QSize(640, 530));
        QCOMPARE(dialog.pos(), desktopCentreOffset(320, 300));
        QCOMPARE(dialog.windowType(), Qt::ToolTip);
        QVERIFY(dialog.windowFlags() & Qt::FramelessWindowHint);
        QVERIFY(dialog.testAttribute(Qt::WA_DeleteOnClose));
        QCOMPARE(child<QWidget>(dialog, "toolButton_2")->geometry(), QRect(610, 8, 25, 25));
        QCOMPARE(child<QWidget>(dialog, "pushButton")->geometry(), QRect(350, 450, 100, 40));
        QCOMPARE(child<QWidget>(dialog, "pushButton_2")->geometry(), QRect(480, 450, 100, 40));
        QVERIFY(child<QGroupBox>(dialog, "groupBox")->styleSheet().contains("border: none"));
        QVERIFY(child<QGroupBox>(dialog, "groupBox_2")->styleSheet().contains("border: none"));
    }

    void languageLists() {
        FakeStartAtLogon logon;
        SoftwareSettingsDialog dialog(nullptr, &logon);
        const QStringList five{"中文(普通话)", "英语", "粤语", "四川话", "河南话"};
        QCOMPARE(items(child<QComboBox>(dialog, "comboBox")), five);
        QCOMPARE(items(child<QComboBox>(dialog, "comboBox_2")), five);
        QCOMPARE(items(child<QComboBox>(dialog, "comboBox_3")), five.mid(0, 3));
        // The translation targets in the order of the translation client's codes.
        QCOMPARE(items(child<QComboBox>(dialog, "comboBox_4")),
                 QStringList({"中文",         "英语",     "粤语",     "文言文",       "日语",
                              "法语",         "西班牙语", "俄语",     "葡萄牙语",     "德语",
                              "意大利语",     "希腊语",   "荷兰语",   "波兰语",       "保加利亚语",
                              "爱沙尼亚语",   "丹麦语",   "芬兰语",   "捷克语",       "罗马尼亚语",
                              "斯洛文尼亚语", "瑞典语",   "匈牙利语", "中文（繁体）", "越南语"}));
    }

    // The defaults: intelligent mode, automatic update, all boxes off.
    void controlsWriteAndSave_data() {
        QTest::addColumn<QString>("control");
        QTest::addColumn<int>("value"); // index for lists, 1/0 for buttons and boxes
        QTest::addColumn<Values>("expected");
        QTest::newRow("typing mode") << "radioButton" << 1
                                     << Values{{"TypingModel", 1},
                                               {"IntelligenceModel", 0},
                                               {"TranslationModel", 0}};
        QTest::newRow("translation mode")
            << "radioButton_3" << 1
            << Values{{"TypingModel", 0}, {"IntelligenceModel", 0}, {"TranslationModel", 1}};
        QTest::newRow("reminder update")
            << "radioButton_5" << 1
            << Values{{"AutomaticUpdate", 0}, {"ReminderUpdate", 1}, {"NotUpdate", 0}};
        QTest::newRow("no update") << "radioButton_6" << 1
                                   << Values{{"AutomaticUpdate", 0}, {"ReminderUpdate", 0}, {"NotUpdate", 1}};
        QTest::newRow("typing language only")
            << "comboBox" << 3 << Values{{"TypingLanguage", 3}, {"IntelligenceLanguage", 0}};
        QTest::newRow("intelligent language") << "comboBox_2" << 4 << Values{{"IntelligenceLanguage", 4}};
        QTest::newRow("translation source") << "comboBox_3" << 2 << Values{{"TranslationLanguage", 2}};
        QTest::newRow("Vietnamese target") << "comboBox_4" << 24 << Values{{"TranslationResultLanguage", 24}};
        QTest::newRow("remove punctuation") << "checkBox" << 1 << Values{{"RemovePunctuation", 1}};
        QTest::newRow("close notices") << "checkBox_2" << 1 << Values{{"ClosePrompt", 1}};
        QTest::newRow("start at logon") << "checkBox_3" << 1 << Values{{"BootUp", 1}};
    }
    void controlsWriteAndSave() {
        QFETCH(QString, control);
        QFETCH(int, value);
        QFETCH(Values, expected);
        FakeStartAtLogon logon;
        SoftwareSettingsDialog dialog(nullptr, &logon);
        QWidget* widget = child<QWidget>(dialog, control);
        if (auto* box = qobject_cast<QComboBox*>(widget))
            box->setCurrentIndex(value);
        else
            qobject_cast<QAbstractButton*>(widget)->click();
        const Values file = saved();
        for (auto it = expected.cbegin(); it != expected.cend(); ++it)
            QCOMPARE(file.value(it.key(), -99), it.value());
        QCOMPARE(logon.present, control == "checkBox_3");
    }

    // Qt reports the unchecking of the old button first; the new button's values remain.
    void radioUncheckingOrder_data() {
        QTest::addColumn<QString>("from");
        QTest::addColumn<QString>("to");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QStringList>("keys");
        const QStringList modes{"TypingModel", "IntelligenceModel", "TranslationModel"};
        const QStringList updates{"AutomaticUpdate", "ReminderUpdate", "NotUpdate"};
        QTest::newRow("intelligent to typing") << "radioButton_2"
                                               << "radioButton"
                                               << "TypingModel" << modes;
        QTest::newRow("typing to translation") << "radioButton"
                                               << "radioButton_3"
                                               << "TranslationModel" << modes;
        QTest::newRow("automatic to none") << "radioButton_4"
                                           << "radioButton_6"
                                           << "NotUpdate" << updates;
    }
    void radioUncheckingOrder() {
        QFETCH(QString, from);
        QFETCH(QString, to);
        QFETCH(QString, key);
        QFETCH(QStringList, keys);
        FakeStartAtLogon logon;
        SoftwareSettingsDialog dialog(nullptr, &logon);
        child<QRadioButton>(dialog, from)->click();
        QStringList order;
        connect(child<QRadioButton>(dialog, from), &QRadioButton::toggled, this, [&] { order << "off"; });
        connect(child<QRadioButton>(dialog, to), &QRadioButton::toggled, this, [&] { order << "on"; });
        child<QRadioButton>(dialog, to)->click();
        QCOMPARE(order, QStringList({"off", "on"}));
        const Values file = saved();
        for (const QString& k : keys)
            QCOMPARE(file.value(k), k == key ? 1 : 0);
    }

    // A partially checked box writes nothing but still saves what the store holds.
    void partialCheckStateSavesOnly_data() {
        QTest::addColumn<QString>("box");
        QTest::addColumn<QString>("key");
        QTest::newRow("punctuation") << "checkBox"
                                     << "RemovePunctuation";
        QTest::newRow("notices") << "checkBox_2"
                                 << "ClosePrompt";
        QTest::newRow("start at logon") << "checkBox_3"
                                        << "BootUp";
    }
    void partialCheckStateSavesOnly() {
        QFETCH(QString, box);
        QFETCH(QString, key);
        FakeStartAtLogon logon;
        SoftwareSettingsDialog dialog(nullptr, &logon);
        QCheckBox* check = child<QCheckBox>(dialog, box);
        check->click();
        QCOMPARE(saved().value(key), 1);
        const int callsBefore = logon.calls;
        ConfigStore::instance()["FirstOpen"] = 7; // in memory only
        check->setTristate(true);
        check->setCheckState(Qt::PartiallyChecked);
        QCOMPARE(saved().value(key), 1);
        QCOMPARE(saved().value("FirstOpen"), 7);
        QCOMPARE(logon.calls, callsBefore);
    }

    void outOfRangeLanguageWritesMinusOne_data() {
        QTest::addColumn<QString>("key");
        QTest::addColumn<int>("stored");
        QTest::addColumn<QString>("box");
        QTest::newRow("typing 9") << "TypingLanguage" << 9 << "comboBox";
        QTest::newRow("intelligent -3") << "IntelligenceLanguage" << -3 << "comboBox_2";
        QTest::newRow("translation Sichuanese") << "TranslationLanguage" << 3 << "comboBox_3";
        QTest::newRow("target 25") << "TranslationResultLanguage" << 25 << "comboBox_4";
    }
    void outOfRangeLanguageWritesMinusOne() {
        QFETCH(QString, key);
        QFETCH(int, stored);
        QFETCH(QString, box);
        preset({{key, stored}});
        FakeStartAtLogon logon;
        SoftwareSettingsDialog dialog(nullptr, &logon);
        QCOMPARE(child<QComboBox>(dialog, box)->currentIndex(), -1);
        QCOMPARE(saved().value(key), -1);
    }

    void loadsEveryControl() {
        preset({{"TypingModel", 0},
                {"IntelligenceModel", 0},
                {"TranslationModel", 1},
                {"TypingLanguage", 2},
                {"IntelligenceLanguage", 4},
                {"TranslationLanguage", 1},
                {"TranslationResultLanguage", 23},
                {"AutomaticUpdate", 0},
                {"ReminderUpdate", 1},
                {"BootUp", 1},
                {"ClosePrompt", 1},
                {"RemovePunctuation", 1}});
        FakeStartAtLogon logon;
        SoftwareSettingsDialog dialog(nullptr, &logon);
        QVERIFY(child<QRadioButton>(dialog, "radioButton_3")->isChecked());
        QCOMPARE(child<QComboBox>(dialog, "comboBox")->currentIndex(), 2);
        QCOMPARE(child<QComboBox>(dialog, "comboBox_2")->currentIndex(), 4);
        QCOMPARE(child<QComboBox>(dialog, "comboBox_3")->currentIndex(), 1);
        QCOMPARE(child<QComboBox>(dialog, "comboBox_4")->currentText(), QString("中文（繁体）"));
        QVERIFY(child<QRadioButton>(dialog, "radioButton_5")->isChecked());
        QVERIFY(child<QCheckBox>(dialog, "checkBox_3")->isChecked());
        QVERIFY(child<QCheckBox>(dialog, "checkBox_2")->isChecked());
        QVERIFY(child<QCheckBox>(dialog, "checkBox")->isChecked());
        // The checked start-at-logon box registers again on opening.
        QVERIFY(logon.present);
        QCOMPARE(logon.path, QCoreApplication::applicationFilePath());
        QCOMPARE(saved().value("TranslationModel"), 1);
    }

    void uncheckingStartAtLogonRemovesIt() {
        preset({{"BootUp", 1}});
        FakeStartAtLogon logon;
        SoftwareSettingsDialog dialog(nullptr, &logon);
        QVERIFY(logon.present);
        child<QCheckBox>(dialog, "checkBox_3")->click();
        QVERIFY(!logon.present);
        QCOMPARE(saved().value("BootUp"), 0);
    }

    void followsTrayAndToolWithinOneTick() {
        FakeStartAtLogon logon;
        SoftwareSettingsDialog dialog(nullptr, &logon);
        ConfigStore& store = ConfigStore::instance();
        store["TypingLanguage"] = 4;
        store["TranslationResultLanguage"] = 5;
        store["IntelligenceModel"] = 0;
        store["TypingModel"] = 1;
        QTRY_COMPARE_WITH_TIMEOUT(child<QComboBox>(dialog, "comboBox")->currentIndex(), 4, 3000);
        QCOMPARE(child<QComboBox>(dialog, "comboBox_4")->currentIndex(), 5);
        QVERIFY(child<QRadioButton>(dialog, "radioButton")->isChecked());
        const Values file = saved();
        QCOMPARE(file.value("TypingModel"), 1);
        QCOMPARE(file.value("IntelligenceModel"), 0);
        QCOMPARE(file.value("TypingLanguage"), 4);
        // The update buttons and the boxes are not refreshed.
        store["NotUpdate"] = 1;
        store["RemovePunctuation"] = 1;
        dialog.refreshFromStore();
        QVERIFY(!child<QRadioButton>(dialog, "radioButton_6")->isChecked());
        QVERIFY(!child<QCheckBox>(dialog, "checkBox")->isChecked());
    }

    void buttonsOnlyClose_data() {
        QTest::addColumn<QString>("button");
        QTest::newRow("ok") << "pushButton";
        QTest::newRow("cancel") << "pushButton_2";
        QTest::newRow("close") << "toolButton_2";
    }
    void buttonsOnlyClose() {
        QFETCH(QString, button);
        FakeStartAtLogon logon;
        SoftwareSettingsDialog dialog(nullptr, &logon);
        child<QComboBox>(dialog, "comboBox_4")->setCurrentIndex(9);
        QSignalSpy closing(&dialog, &SoftwareSettingsDialog::closeDialog);
        child<QAbstractButton>(dialog, button)->click();
        QCOMPARE(closing.count(), 1);
        QCOMPARE(saved().value("TranslationResultLanguage"), 9);
    }

    void dragsWithTheLeftButton() {
        FakeStartAtLogon logon;
        SoftwareSettingsDialog dialog(nullptr, &logon);
        dialog.move(100, 100);
        const QPoint start = dialog.frameGeometry().topLeft() + QPoint(50, 10);
        QMouseEvent press(QEvent::MouseButtonPress, QPointF(50, 10), QPointF(start), Qt::LeftButton,
                          Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&dialog, &press);
        QVERIFY(press.isAccepted());
        QMouseEvent move(QEvent::MouseMove, QPointF(80, 50), QPointF(start + QPoint(30, 40)), Qt::NoButton,
                         Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&dialog, &move);
        QCOMPARE(dialog.frameGeometry().topLeft(), QPoint(130, 140));
        QMouseEvent rightMove(QEvent::MouseMove, QPointF(0, 0), QPointF(start + QPoint(300, 300)),
                              Qt::NoButton, Qt::RightButton, Qt::NoModifier);
        QApplication::sendEvent(&dialog, &rightMove);
        QCOMPARE(dialog.frameGeometry().topLeft(), QPoint(130, 140));
    }
};

QTEST_MAIN(TestSettingsDialog)
#include "tst_settingsdialog.moc"
