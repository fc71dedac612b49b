#include "ui/FirstRunSkills.h"
#include "ui_FirstRunSkills.h"

#include <QEvent>

#include "ui/DesktopGeometry.h"

FirstRunSkills::FirstRunSkills(QWidget* parent) : QWidget(parent), ui(new Ui::FirstRunSkills) {
    ui->setupUi(this);
    connect(ui->backButton, &QPushButton::clicked, this, &FirstRunSkills::goBack);
    connect(ui->gotItButton, &QPushButton::clicked, this, &QWidget::hide);
    setWindowFlags(Qt::ToolTip | Qt::FramelessWindowHint);
    raise();
    move(desktopCentreOffset(250, 195));
}

FirstRunSkills::~FirstRunSkills() {
    delete ui;
}

void FirstRunSkills::goBack() {
    hide();
    emit showInstructionWidget();
}

void FirstRunSkills::changeEvent(QEvent* event) {
    if (event->type() == QEvent::LanguageChange)
        ui->retranslateUi(this);
    QWidget::changeEvent(event);
}
