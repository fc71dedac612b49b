#include "ui/FloatingModeBar.h"
#include "ui_FloatingModeBar.h"

#include "app/ConfigStore.h"
#include "app/NoticeBox.h"
#include "app/UiLanguage.h"

#include <QEvent>

namespace {
const char* const kModeKeys[3] = {"TypingModel", "IntelligenceModel", "TranslationModel"};
const char* const kModeNotices[3] = {QT_TRANSLATE_NOOP("FloatingModeBar", "你已选择 打字模式"),
                                     QT_TRANSLATE_NOOP("FloatingModeBar", "你已选择 智能模式"),
                                     QT_TRANSLATE_NOOP("FloatingModeBar", "你已选择 翻译模式")};
} // namespace

FloatingModeBar::FloatingModeBar(QWidget* parent) : QWidget(parent), ui(new Ui::FloatingModeBar) {
    ui->setupUi(this);
    connect(ui->settingsButton, &QPushButton::clicked, this, &FloatingModeBar::openSettings);
    setWindowFlags(Qt::ToolTip | Qt::FramelessWindowHint);
    raise();

    m_prompt = new NoticeBox(this);
    ui->settingsButton->setStyleSheet(normalLook());

    m_modeButtons[0] = ui->typingModeButton;
    m_modeButtons[1] = ui->intelligentModeButton;
    m_modeButtons[2] = ui->translationModeButton;
    for (QPushButton* button : m_modeButtons)
        button->installEventFilter(this);
    installEventFilter(this);

    ConfigStore& store = ConfigStore::instance();
    for (int mode = 0; mode < 3; ++mode) {
        if (store[QLatin1String(kModeKeys[mode])] == 1)
            m_modeButtons[mode]->setStyleSheet(activeLook());
    }
    // The form's looks carry the Chinese size.
    if (UiLanguage::isEnglish())
        refreshLooks();

    // The looks follow the store when it changes (from any window or thread), not on a timer.
    connect(&store, &ConfigStore::changed, this, &FloatingModeBar::refreshLooks, Qt::QueuedConnection);
}

FloatingModeBar::~FloatingModeBar() {
    delete ui;
}

// The English words are longer than the two Chinese characters: a smaller size fits them into the
// 70-pixel buttons.
static int buttonPointSize() {
    return UiLanguage::isEnglish() ? 11 : 14;
}

QString FloatingModeBar::activeLook() {
    return QStringLiteral(
               "QPushButton{background-color: rgb(61, 102, 98);\ncolor: rgb(255, 255, 255);\n"
               "font: %1pt \"微软雅黑\";\nborder: 1px solid rgb(230, 230, 230);}\n"
               "QPushButton:hover{background-color: rgb(61, 102, 102);\ncolor: rgb(255, 255, 255);}")
        .arg(buttonPointSize());
}

QString FloatingModeBar::normalLook() {
    return QStringLiteral(
               "QPushButton{background-color: rgb(255, 255, 255);\ncolor: rgb(52, 52, 52);\n"
               "font: %1pt \"微软雅黑\";\nborder: 1px solid rgb(230, 230, 230);}\n"
               "QPushButton:hover{background-color: rgb(61, 102, 102);\ncolor: rgb(255, 255, 255);}")
        .arg(buttonPointSize());
}

void FloatingModeBar::refreshLooks() {
    ConfigStore& store = ConfigStore::instance();
    for (int mode = 0; mode < 3; ++mode) {
        if (store[QLatin1String(kModeKeys[mode])] != 1)
            continue;
        for (int other = 0; other < 3; ++other) {
            const QString look = other == mode ? activeLook() : normalLook();
            if (m_modeButtons[other]->styleSheet() != look)
                m_modeButtons[other]->setStyleSheet(look);
        }
    }
}

void FloatingModeBar::openSettings() {
    emit showSettingsDialog();
    hide();
}

void FloatingModeBar::chooseMode(int mode) {
    ConfigStore& store = ConfigStore::instance();
    for (int key = 0; key < 3; ++key)
        store[QLatin1String(kModeKeys[key])] = key == mode ? 1 : 0;
    store.save();
    hide();
    if (store["ClosePrompt"] == 0)
        m_prompt->showPromptFor(tr(kModeNotices[mode]), 500);
}

bool FloatingModeBar::eventFilter(QObject* watched, QEvent* event) {
    if (watched == this && event->type() == QEvent::Leave)
        hide();
    if (event->type() == QEvent::MouseButtonPress) {
        for (int mode = 0; mode < 3; ++mode) {
            if (watched == m_modeButtons[mode])
                chooseMode(mode);
        }
    }
    return QWidget::eventFilter(watched, event);
}

void FloatingModeBar::changeEvent(QEvent* event) {
    if (event->type() == QEvent::LanguageChange) {
        ui->retranslateUi(this);
        ui->settingsButton->setStyleSheet(normalLook());
        refreshLooks();
    }
    QWidget::changeEvent(event);
}
