#include "services/UpdateAtStartDialog.h"
#include "ui_UpdateAtStartDialog.h"

#include <QEvent>

#include "services/UpdateCheck.h"

#include <QDesktopServices>

UpdateAtStartDialog::UpdateAtStartDialog(QWidget* parent) : QWidget(parent), ui(new Ui::UpdateAtStartDialog) {
    ui->setupUi(this);
    connect(ui->laterButton, &QPushButton::clicked, this, &QWidget::hide);
    connect(ui->updateNowButton, &QPushButton::clicked, this, &UpdateAtStartDialog::openProductPage);
    setWindowFlags(Qt::ToolTip | Qt::FramelessWindowHint);
    raise();
}

UpdateAtStartDialog::~UpdateAtStartDialog() {
    delete ui;
}

void UpdateAtStartDialog::openProductPage() {
    QDesktopServices::openUrl(UpdateCheck::productPage());
    hide();
}

void UpdateAtStartDialog::changeEvent(QEvent* event) {
    if (event->type() == QEvent::LanguageChange)
        ui->retranslateUi(this);
    QWidget::changeEvent(event);
}
