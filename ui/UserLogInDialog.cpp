#include "ui/UserLogInDialog.h"
#include "ui_UserLogInDialog.h"

UserLogInDialog::UserLogInDialog(QWidget* parent) : QDialog(parent), ui(new Ui::UserLogInDialog) {
    ui->setupUi(this);
    setWindowFlags(Qt::ToolTip | Qt::FramelessWindowHint);
    raise();
    setAttribute(Qt::WA_DeleteOnClose);
    show();
}

UserLogInDialog::~UserLogInDialog() {
    delete ui;
}

void UserLogInDialog::on_toolButton_clicked() {
    emit closeDialog();
}
