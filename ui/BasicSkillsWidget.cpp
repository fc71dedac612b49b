#include "ui/BasicSkillsWidget.h"
#include "ui_BasicSkillsWidget.h"

#include "ui/DesktopGeometry.h"

BasicSkillsWidget::BasicSkillsWidget(QWidget* parent) : QWidget(parent), ui(new Ui::BasicSkillsWidget) {
    ui->setupUi(this);
    setWindowFlags(Qt::ToolTip | Qt::FramelessWindowHint);
    raise();
    move(desktopCentreOffset(250, 195));
}

BasicSkillsWidget::~BasicSkillsWidget() {
    delete ui;
}

void BasicSkillsWidget::on_pushButton_clicked() {
    hide();
    emit showInstructionWidget();
}

void BasicSkillsWidget::on_pushButton_2_clicked() {
    hide();
}
