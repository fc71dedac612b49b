#include "ui/LoginDialog.h"
#include "ui_LoginDialog.h"

#include <QEvent>

LoginDialog::LoginDialog(QWidget* parent) : QDialog(parent), ui(new Ui::LoginDialog) {
    ui->setupUi(this);
    connect(ui->closeButton, &QToolButton::clicked, this, &LoginDialog::closeDialog);
    setWindowFlags(Qt::ToolTip | Qt::FramelessWindowHint);
    raise();
    setAttribute(Qt::WA_DeleteOnClose);
    show();
}

LoginDialog::~LoginDialog() {
    delete ui;
}

void LoginDialog::changeEvent(QEvent* event) {
    if (event->type() == QEvent::LanguageChange)
        ui->retranslateUi(this);
    QDialog::changeEvent(event);
}
