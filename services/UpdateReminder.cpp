#include "services/UpdateReminder.h"
#include "ui_UpdateReminder.h"

#include "app/ConfigStore.h"

UpdateReminder::UpdateReminder(QWidget* parent) : QWidget(parent), ui(new Ui::UpdateReminder) {
    ui->setupUi(this);
    connect(ui->okButton, &QPushButton::clicked, this, &UpdateReminder::acknowledge);
    setWindowFlags(Qt::ToolTip | Qt::FramelessWindowHint);
    ConfigStore& store = ConfigStore::instance();
    if (store["ReminderUpdate"] == 1) {
        ui->titleLabel->setText(QStringLiteral("  提醒更新"));
        ui->firstLineLabel->setText(QStringLiteral("Zorvel提醒你，软件更新啦！为了你更好"));
        ui->secondLineLabel->setText(QStringLiteral("的体验，请前往官网下载更新吧！！！"));
    }
    if (store["NotUpdate"] == 1) {
        ui->titleLabel->setText(QStringLiteral("  不更新"));
        ui->firstLineLabel->setText(QStringLiteral("你已选择从不更新软件设置，为了你能"));
        ui->secondLineLabel->setText(QStringLiteral("更好体验，建议定时更新软件！！！"));
    }
    raise();
}

UpdateReminder::~UpdateReminder() {
    delete ui;
}

void UpdateReminder::acknowledge() {
    ConfigStore& store = ConfigStore::instance();
    if (store["ReminderUpdate"] == 1 || store["NotUpdate"] == 1)
        hide();
}
