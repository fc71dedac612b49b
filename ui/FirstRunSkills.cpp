#include "ui/FirstRunSkills.h"
#include "ui_FirstRunSkills.h"

#include "ui/DesktopGeometry.h"

FirstRunSkills::FirstRunSkills(QWidget* parent) : QWidget(parent), ui(new Ui::FirstRunSkills) {
    ui->setupUi(this);
    setWindowFlags(Qt::ToolTip | Qt::FramelessWindowHint);
    raise();
    move(desktopCentreOffset(250, 195));
}

FirstRunSkills::~FirstRunSkills() {
    delete ui;
}

void FirstRunSkills::on_pushButton_clicked() {
    hide();
    emit showInstructionWidget();
}

void FirstRunSkills::on_pushButton_2_clicked() {
    hide();
}
