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
    connectControls();
    ui->modeGroup->setStyleSheet(QStringLiteral("QGroupBox{border: none;}"));
    ui->updateGroup->setStyleSheet(QStringLiteral("QGroupBox{border: none;}"));

    setWindowFlags(Qt::ToolTip | Qt::FramelessWindowHint);
    raise();
    setAttribute(Qt::WA_DeleteOnClose);
    show();
    move(desktopCentreOffset(320, 300));

    // The controls are connected already: every value that differs from the form's
    // initial state is written back and saved (a checked start-at-logon box registers again).
    refreshFromStore();
    ConfigStore& store = ConfigStore::instance();
    if (store["AutomaticUpdate"] == 1)
        ui->automaticUpdateRadio->setChecked(true);
    if (store["ReminderUpdate"] == 1)
        ui->remindUpdateRadio->setChecked(true);
    if (store["NotUpdate"] == 1)
        ui->noUpdateRadio->setChecked(true);
    if (store["BootUp"] == 1)
        ui->startAtLogonCheck->setChecked(true);
    if (store["ClosePrompt"] == 1)
        ui->closeNoticesCheck->setChecked(true);
    if (store["RemovePunctuation"] == 1)
        ui->removePunctuationCheck->setChecked(true);

    connect(&m_timer, &QTimer::timeout, this, &SettingsDialog::refreshFromStore);
    m_timer.start(1100);
}

SettingsDialog::~SettingsDialog() {
    delete ui;
}

void SettingsDialog::refreshFromStore() {
    ConfigStore& store = ConfigStore::instance();
    if (store["TypingModel"] == 1)
        ui->typingModeRadio->setChecked(true);
    if (store["IntelligenceModel"] == 1)
        ui->intelligentModeRadio->setChecked(true);
    if (store["TranslationModel"] == 1)
        ui->translationModeRadio->setChecked(true);
    // A value outside a list leaves it without a current item; the list then reports -1, which
    // its slot writes back.
    ui->typingLanguageCombo->setCurrentIndex(store["TypingLanguage"]);
    ui->intelligentLanguageCombo->setCurrentIndex(store["IntelligenceLanguage"]);
    ui->translationSourceCombo->setCurrentIndex(store["TranslationLanguage"]);
    ui->translationTargetCombo->setCurrentIndex(store["TranslationResultLanguage"]);
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

// Every control writes its key(s) and saves the moment it changes.
void SettingsDialog::connectControls() {
    // The radio buttons write their own values whether they are being checked or unchecked; Qt
    // reports the unchecking of the old button first, so the newly chosen values are the last written.
    const QRadioButton* const modes[3] = {ui->typingModeRadio, ui->intelligentModeRadio,
                                          ui->translationModeRadio};
    const QRadioButton* const updates[3] = {ui->automaticUpdateRadio, ui->remindUpdateRadio,
                                            ui->noUpdateRadio};
    for (int i = 0; i < 3; ++i) {
        connect(modes[i], &QRadioButton::toggled, this, [this, i] { writeFlags(kModeKeys, i); });
        connect(updates[i], &QRadioButton::toggled, this, [this, i] { writeFlags(kUpdateKeys, i); });
    }

    const std::pair<const QComboBox*, const char*> languages[4] = {
        {ui->typingLanguageCombo, "TypingLanguage"},
        {ui->intelligentLanguageCombo, "IntelligenceLanguage"},
        {ui->translationSourceCombo, "TranslationLanguage"},
        {ui->translationTargetCombo, "TranslationResultLanguage"}};
    for (const auto& [combo, key] : languages)
        connect(combo, qOverload<int>(&QComboBox::currentIndexChanged), this,
                [this, key = key](int index) { writeKey(key, index); });

    connect(ui->removePunctuationCheck, &QCheckBox::stateChanged, this,
            [this](int state) { writeCheck("RemovePunctuation", state); });
    connect(ui->closeNoticesCheck, &QCheckBox::stateChanged, this,
            [this](int state) { writeCheck("ClosePrompt", state); });
    connect(ui->startAtLogonCheck, &QCheckBox::stateChanged, this, &SettingsDialog::setStartAtLogon);

    // Everything is saved already: the buttons only close.
    connect(ui->okButton, &QPushButton::clicked, this, &SettingsDialog::closeDialog);
    connect(ui->cancelButton, &QPushButton::clicked, this, &SettingsDialog::closeDialog);
    connect(ui->closeButton, &QToolButton::clicked, this, &SettingsDialog::closeDialog);
}

void SettingsDialog::setStartAtLogon(int state) {
    if (state == Qt::Checked)
        setAutoStart(true, m_startAtLogon);
    else if (state == Qt::Unchecked)
        setAutoStart(false, m_startAtLogon);
    writeCheck("BootUp", state);
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
