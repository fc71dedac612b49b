#include "services/BootUpdateBox.h"
#include "ui_BootUpdateBox.h"

#include "services/VersionControl.h"

#include <QDesktopServices>

BootUpdateBox::BootUpdateBox(QWidget* parent) : QWidget(parent), ui(new Ui::BootUpdateBox) {
    ui->setupUi(this);
    setWindowFlags(Qt::ToolTip | Qt::FramelessWindowHint);
    raise();
}

BootUpdateBox::~BootUpdateBox() {
    delete ui;
}

void BootUpdateBox::on_pushButton_clicked() {
    hide();
}

void BootUpdateBox::on_pushButton_2_clicked() {
    QDesktopServices::openUrl(VersionControl::productPage());
    hide();
}
