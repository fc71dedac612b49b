#include "ui/FirstRunSteps.h"
#include "ui_FirstRunSteps.h"

#include <QEvent>

#include "ui/DesktopGeometry.h"
#include "ui/FirstRunSkills.h"

FirstRunSteps::FirstRunSteps(QWidget* parent) : QWidget(parent), ui(new Ui::FirstRunSteps) {
    ui->setupUi(this);
    connect(ui->learnedButton, &QPushButton::clicked, this, &FirstRunSteps::showSkills);
    setWindowFlags(Qt::ToolTip | Qt::FramelessWindowHint);
    raise();
    move(desktopCentreOffset(200, 335));
    m_firstRunSkills = new FirstRunSkills(this);
    connect(m_firstRunSkills, &FirstRunSkills::showInstructionWidget, this, &FirstRunSteps::showThis);
}

FirstRunSteps::~FirstRunSteps() {
    delete ui;
}

void FirstRunSteps::showThis() {
    show();
}

void FirstRunSteps::showSkills() {
    hide();
    m_firstRunSkills->show();
}

void FirstRunSteps::changeEvent(QEvent* event) {
    if (event->type() == QEvent::LanguageChange)
        ui->retranslateUi(this);
    QWidget::changeEvent(event);
}
