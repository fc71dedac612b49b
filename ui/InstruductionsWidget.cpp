#include "ui/InstruductionsWidget.h"
#include "ui_InstruductionsWidget.h"

#include "ui/BasicSkillsWidget.h"
#include "ui/DesktopGeometry.h"

InstruductionsWidget::InstruductionsWidget(QWidget* parent)
    : QWidget(parent), ui(new Ui::InstruductionsWidget) {
    ui->setupUi(this);
    setWindowFlags(Qt::ToolTip | Qt::FramelessWindowHint);
    raise();
    move(desktopCentreOffset(200, 335));
    m_basicSkills = new BasicSkillsWidget(this);
    connect(m_basicSkills, &BasicSkillsWidget::showInstructionWidget, this, &InstruductionsWidget::showThis);
}

InstruductionsWidget::~InstruductionsWidget() {
    delete ui;
}

void InstruductionsWidget::showThis() {
    show();
}

void InstruductionsWidget::on_pushButton_clicked() {
    hide();
    m_basicSkills->show();
}
