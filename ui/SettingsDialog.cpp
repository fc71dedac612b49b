#include "ui/SettingsDialog.h"
#include "ui_SettingsDialog.h"

#include "app/AutoStart.h"
#include "app/ConfigStore.h"
#include "app/ServicesConfig.h"
#include "app/UiLanguage.h"
#include "platform/MouseButtons.h"
#include "platform/UserSession.h"
#include "ui/DesktopGeometry.h"
#include "voice/speech/SpeechConnectionTest.h"

#include <QDir>
#include <QEvent>
#include <QFile>
#include <QMouseEvent>
#include <QStandardItemModel>

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
    ui->speechGroup->setStyleSheet(QStringLiteral("QGroupBox{border: none;}"));
    loadSpeechGroup();
    // Where the side key comes from the mouse's input devices (a Wayland session) and they cannot
    // be read, it does nothing: say what helps. An X11 session reads it from the X server.
    ui->inputAccessLabel->setVisible(UserSession::sideKeyReadsInputDevices() &&
                                     MouseButtons::deviceAccessDenied());
    // Items in the order of UiLanguage::Choice; the chosen language applies at once.
    ui->interfaceLanguageCombo->setCurrentIndex(UiLanguage::choice());
    connect(ui->interfaceLanguageCombo, qOverload<int>(&QComboBox::activated), this, [](int index) {
        QString error;
        UiLanguage::save(UiLanguage::Choice(index), QDir::current().filePath(QStringLiteral("services.ini")),
                         &error);
    });

    setWindowFlags(Qt::ToolTip | Qt::FramelessWindowHint);
    raise();
    setAttribute(Qt::WA_DeleteOnClose);
    show();
    // Centred on its own height with its top kept on the desktop: on a low screen a frameless
    // window pushed past the edge cannot be dragged back into view.
    QPoint topLeft = desktopCentreOffset(320, height() / 2);
    topLeft.setY(qMax(0, topLeft.y()));
    move(topLeft);

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

void SettingsDialog::changeEvent(QEvent* event) {
    if (event->type() == QEvent::LanguageChange) {
        // The form's texts anew; the report of the speech group stays as it was written.
        const QString status = ui->speechStatusLabel->text();
        ui->retranslateUi(this);
        ui->speechStatusLabel->setText(status);
        markLanguages();
    }
    QDialog::changeEvent(event);
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

void SettingsDialog::loadSpeechGroup() {
    m_speech = SpeechEngineSettings::fromServicesConfig();
    ui->speechEngineCombo->setCurrentIndex(m_speech.engine == SpeechEngineSettings::Server ? 1 : 0);
    ui->speechUrlEdit->setText(m_speech.url);
    ui->speechKeyEdit->setText(m_speech.key);
    ui->speechModelEdit->setText(m_speech.model);
    ui->speechTestButton->setEnabled(m_speech.engine == SpeechEngineSettings::Server);
    markLanguages();
}

SpeechEngineSettings SettingsDialog::speechFromForm() const {
    SpeechEngineSettings s;
    s.engine = ui->speechEngineCombo->currentIndex() == 1 ? SpeechEngineSettings::Server
                                                          : SpeechEngineSettings::Offline;
    s.url = ui->speechUrlEdit->text().trimmed();
    s.key = ui->speechKeyEdit->text().trimmed();
    s.model = ui->speechModelEdit->text().trimmed();
    if (s.model.isEmpty())
        s.model = QStringLiteral("default");
    return s;
}

// Saved as soon as the engine is chosen or a field is left, like every other control.
void SettingsDialog::saveSpeechGroup() {
    const SpeechEngineSettings s = speechFromForm();
    ui->speechTestButton->setEnabled(s.engine == SpeechEngineSettings::Server);
    if (s.engine == m_speech.engine && s.url == m_speech.url && s.key == m_speech.key &&
        s.model == m_speech.model)
        return;
    m_speech = s;
    QString error;
    const bool written = s.save(QDir::current().filePath(QStringLiteral("services.ini")), &error);
    QString status = written ? tr("已保存，下一次说话起生效。")
                             : tr("services.ini 无法写入（%1），设置只在本次运行中有效。").arg(error);
    if (s.engine == SpeechEngineSettings::Server && !s.usesServer())
        status += tr("未填写服务器地址，仍使用内置离线引擎。");
    ui->speechStatusLabel->setText(status);
    markLanguages();
    emit speechEngineChanged();
}

void SettingsDialog::testConnection() {
    if (!m_connectionTest) {
        m_connectionTest = new SpeechConnectionTest(this);
        connect(m_connectionTest, &SpeechConnectionTest::answered, this,
                [this](const QString& what, const SpeechConnectionTest::Result& result) {
                    m_testReport << tr("%1：%2").arg(what, result.message());
                    ui->speechStatusLabel->setText(m_testReport.join(QLatin1Char('\n')));
                });
        connect(m_connectionTest, &SpeechConnectionTest::finished, this,
                [this] { ui->speechTestButton->setEnabled(true); });
    }
    const SpeechEngineSettings form = speechFromForm();
    HttpSpeechService::Settings settings = HttpSpeechService::Settings::fromServicesConfig();
    settings.base = QUrl(form.url);
    settings.key = form.key.toUtf8();
    settings.model = form.model;
    // The latest take, when one is still beside the program, goes after the silence.
    QByteArray recording;
    QFile take(QStringLiteral("record.wav"));
    if (take.open(QIODevice::ReadOnly))
        recording = take.read(64 << 20);
    ui->speechTestButton->setEnabled(false);
    m_testReport.clear();
    ui->speechStatusLabel->setText(tr("正在测试连接 %1 …").arg(form.url));
    m_connectionTest->start(settings, recording);
}

void SettingsDialog::markLanguages() {
    const SpeechEngineSettings engine = SpeechEngineSettings::fromServicesConfig();
    const QString why = tr("内置离线引擎只能识别英语。要识别此语言，请在 软件设置 → 语音识别 中选择"
                           "“语音识别服务器”，填写服务器地址。");
    for (QComboBox* combo :
         {ui->typingLanguageCombo, ui->intelligentLanguageCombo, ui->translationSourceCombo}) {
        auto* model = qobject_cast<QStandardItemModel*>(combo->model());
        for (int i = 0; model && i < model->rowCount(); ++i) {
            const bool can = engine.canRecognise(i);
            model->item(i)->setEnabled(can);
            model->item(i)->setToolTip(can ? QString() : why);
        }
    }
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

    connect(ui->speechEngineCombo, qOverload<int>(&QComboBox::activated), this,
            &SettingsDialog::saveSpeechGroup);
    for (QLineEdit* edit : {ui->speechUrlEdit, ui->speechKeyEdit, ui->speechModelEdit})
        connect(edit, &QLineEdit::editingFinished, this, &SettingsDialog::saveSpeechGroup);
    connect(ui->speechTestButton, &QPushButton::clicked, this, &SettingsDialog::testConnection);

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
