#include "ui/LoginDialog.h"
#include "ui_LoginDialog.h"

LoginDialog::LoginDialog(QWidget* parent) : QDialog(parent), ui(new Ui::LoginDialog) {
    ui->setupUi(this);
    setWindowFlags(Qt::ToolTip | Qt::FramelessWindowHint);
    raise();
    setAttribute(Qt::WA_DeleteOnClose);
    show();
}

LoginDialog::~LoginDialog() {
    delete ui;
}

void LoginDialog::on_toolButton_clicked() {
    emit closeDialog();
}
