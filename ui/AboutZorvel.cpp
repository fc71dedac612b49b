#include "ui/AboutZorvel.h"
#include "ui_AboutZorvel.h"

AboutZorvel::AboutZorvel(QWidget* parent) : QWidget(parent), ui(new Ui::AboutZorvel) {
    ui->setupUi(this);
    setWindowFlags(Qt::ToolTip | Qt::FramelessWindowHint);
    raise();
    setAttribute(Qt::WA_DeleteOnClose);
    show();
}

AboutZorvel::~AboutZorvel() {
    delete ui;
}

void AboutZorvel::on_pushButton_clicked() {
    emit closeDialog();
}
