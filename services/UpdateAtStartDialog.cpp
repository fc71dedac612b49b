#include "services/UpdateAtStartDialog.h"
#include "ui_UpdateAtStartDialog.h"

#include "services/UpdateCheck.h"

#include <QDesktopServices>

UpdateAtStartDialog::UpdateAtStartDialog(QWidget* parent) : QWidget(parent), ui(new Ui::UpdateAtStartDialog) {
    ui->setupUi(this);
    setWindowFlags(Qt::ToolTip | Qt::FramelessWindowHint);
    raise();
}

UpdateAtStartDialog::~UpdateAtStartDialog() {
    delete ui;
}

void UpdateAtStartDialog::on_pushButton_clicked() {
    hide();
}

void UpdateAtStartDialog::on_pushButton_2_clicked() {
    QDesktopServices::openUrl(UpdateCheck::productPage());
    hide();
}
