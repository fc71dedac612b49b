#include "ui/SettingsDialog.h"
#include "ui_SettingsDialog.h"

#include "app/AutoStart.h"
#include "app/ConfigStore.h"
#include "ui/DesktopGeometry.h"

#include <QMouseEvent>

namespace {
const char* const kModeKeys[3] = {"TypingModel", "IntelligenceModel", "TranslationModel"};
const char* const kUpdateKeys[3] = {"AutomaticUpdate", "ReminderUpdate", "NotUpdate"};
} // namespace

SettingsDialog::SettingsDialog(QWidget* parent, StartAtLogon* startAtLogon)
    : QDialog(parent), ui(new Ui::SettingsDialog), m_startAtLogon(startAtLogon) {
    ui->setupUi(this);
    ui->groupBox->setStyleSheet(QStringLiteral("QGroupBox{border: none;}"));
    ui->groupBox_2->setStyleSheet(QStringLiteral("QGroupBox{border: none;}"));

    setWindowFlags(Qt::ToolTip | Qt::FramelessWindowHint);
    raise();
    setAttribute(Qt::WA_DeleteOnClose);
    show();
    move(desktopCentreOffset(320, 300));

    // The controls' slots are connected already: every value that differs from the form's
    // initial state is written back and saved (a checked start-at-logon box registers again).
    refreshFromStore();
    ConfigStore& store = ConfigStore::instance();
    if (store["AutomaticUpdate"] == 1)
        ui->radioButton_4->setChecked(true);
    if (store["ReminderUpdate"] == 1)
        ui->radioButton_5->setChecked(true);
    if (store["NotUpdate"] == 1)
        ui->radioButton_6->setChecked(true);
    if (store["BootUp"] == 1)
        ui->checkBox_3->setChecked(true);
    if (store["ClosePrompt"] == 1)
        ui->checkBox_2->setChecked(true);
    if (store["RemovePunctuation"] == 1)
        ui->checkBox->setChecked(true);

    connect(&m_timer, &QTimer::timeout, this, &SettingsDialog::refreshFromStore);
    m_timer.start(1100);
}

SettingsDialog::~SettingsDialog() {
    delete ui;
}

void SettingsDialog::refreshFromStore() {
    ConfigStore& store = ConfigStore::instance();
    if (store["TypingModel"] == 1)
        ui->radioButton->setChecked(true);
    if (store["IntelligenceModel"] == 1)
        ui->radioButton_2->setChecked(true);
    if (store["TranslationModel"] == 1)
        ui->radioButton_3->setChecked(true);
    // A value outside a list leaves it without a current item; the list then reports -1, which
    // its slot writes back.
    ui->comboBox->setCurrentIndex(store["TypingLanguage"]);
    ui->comboBox_2->setCurrentIndex(store["IntelligenceLanguage"]);
    ui->comboBox_3->setCurrentIndex(store["TranslationLanguage"]);
    ui->comboBox_4->setCurrentIndex(store["TranslationResultLanguage"]);
}

void SettingsDialog::writeFlags(const char* const keys[3], int chosen) {
    ConfigStore& store = ConfigStore::instance();
    for (int i = 0; i < 3; ++i)
        store[QLatin1String(keys[i])] = i == chosen ? 1 : 0;
    store.save();
}

void SettingsDialog::writeKey(const char* key, int value) {
    ConfigStore& store = ConfigStore::instance();
    store[QLatin1String(key)] = value;
    store.save();
}

void SettingsDialog::writeCheck(const char* key, int state) {
    ConfigStore& store = ConfigStore::instance();
    if (state == Qt::Checked)
        store[QLatin1String(key)] = 1;
    else if (state == Qt::Unchecked)
        store[QLatin1String(key)] = 0;
    store.save();
}

// The radio buttons write their own values whether they are being checked or unchecked; Qt
// reports the unchecking of the old button first, so the newly chosen values are the last written.
void SettingsDialog::on_radioButton_toggled(bool) {
    writeFlags(kModeKeys, 0);
}
void SettingsDialog::on_radioButton_2_toggled(bool) {
    writeFlags(kModeKeys, 1);
}
void SettingsDialog::on_radioButton_3_toggled(bool) {
    writeFlags(kModeKeys, 2);
}
void SettingsDialog::on_radioButton_4_toggled(bool) {
    writeFlags(kUpdateKeys, 0);
}
void SettingsDialog::on_radioButton_5_toggled(bool) {
    writeFlags(kUpdateKeys, 1);
}
void SettingsDialog::on_radioButton_6_toggled(bool) {
    writeFlags(kUpdateKeys, 2);
}

void SettingsDialog::on_comboBox_currentIndexChanged(int index) {
    writeKey("TypingLanguage", index);
}
void SettingsDialog::on_comboBox_2_currentIndexChanged(int index) {
    writeKey("IntelligenceLanguage", index);
}
void SettingsDialog::on_comboBox_3_currentIndexChanged(int index) {
    writeKey("TranslationLanguage", index);
}
void SettingsDialog::on_comboBox_4_currentIndexChanged(int index) {
    writeKey("TranslationResultLanguage", index);
}

void SettingsDialog::on_checkBox_stateChanged(int arg1) {
    writeCheck("RemovePunctuation", arg1);
}
void SettingsDialog::on_checkBox_2_stateChanged(int arg1) {
    writeCheck("ClosePrompt", arg1);
}
void SettingsDialog::on_checkBox_3_stateChanged(int arg1) {
    if (arg1 == Qt::Checked)
        setAutoStart(true, m_startAtLogon);
    else if (arg1 == Qt::Unchecked)
        setAutoStart(false, m_startAtLogon);
    writeCheck("BootUp", arg1);
}

void SettingsDialog::on_pushButton_clicked() {
    emit closeDialog();
}
void SettingsDialog::on_pushButton_2_clicked() {
    emit closeDialog();
}
void SettingsDialog::on_toolButton_2_clicked() {
    emit closeDialog();
}

void SettingsDialog::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        const QPoint offset = event->globalPos() - frameGeometry().topLeft();
        m_dragX = offset.x();
        m_dragY = offset.y();
    }
    event->accept();
}

void SettingsDialog::mouseMoveEvent(QMouseEvent* event) {
    if (event->buttons() == Qt::LeftButton)
        move(event->globalPos() - QPoint(m_dragX, m_dragY));
    event->accept();
}
