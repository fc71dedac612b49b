#include "services/UpdateReminder.h"
#include "ui_UpdateReminder.h"

#include "app/ConfigStore.h"

#include <QEvent>

UpdateReminder::UpdateReminder(QWidget* parent) : QWidget(parent), ui(new Ui::UpdateReminder) {
    ui->setupUi(this);
    connect(ui->okButton, &QPushButton::clicked, this, &UpdateReminder::acknowledge);
    setWindowFlags(Qt::ToolTip | Qt::FramelessWindowHint);
    ConfigStore& store = ConfigStore::instance();
    m_policy = store["NotUpdate"] == 1 ? 2 : store["ReminderUpdate"] == 1 ? 1 : 0;
    retranslate();
    raise();
}

void UpdateReminder::retranslate() {
    if (m_policy == 1) {
        ui->titleLabel->setText(tr("  提醒更新"));
        ui->firstLineLabel->setText(tr("Zorvel提醒你，软件更新啦！为了你更好"));
        ui->secondLineLabel->setText(tr("的体验，请前往官网下载更新吧！！！"));
    } else if (m_policy == 2) {
        ui->titleLabel->setText(tr("  不更新"));
        ui->firstLineLabel->setText(tr("你已选择从不更新软件设置，为了你能"));
        ui->secondLineLabel->setText(tr("更好体验，建议定时更新软件！！！"));
    }
}

void UpdateReminder::changeEvent(QEvent* event) {
    if (event->type() == QEvent::LanguageChange) {
        ui->retranslateUi(this);
        retranslate();
    }
    QWidget::changeEvent(event);
}

UpdateReminder::~UpdateReminder() {
    delete ui;
}

void UpdateReminder::acknowledge() {
    ConfigStore& store = ConfigStore::instance();
    if (store["ReminderUpdate"] == 1 || store["NotUpdate"] == 1)
        hide();
}
