#include "ui/AboutDialog.h"
#include "ui_AboutDialog.h"

#include <QEvent>

AboutDialog::AboutDialog(QWidget* parent) : QWidget(parent), ui(new Ui::AboutDialog) {
    ui->setupUi(this);
    connect(ui->okButton, &QPushButton::clicked, this, &AboutDialog::closeDialog);
    setWindowFlags(Qt::ToolTip | Qt::FramelessWindowHint);
    raise();
    setAttribute(Qt::WA_DeleteOnClose);
    show();
}

AboutDialog::~AboutDialog() {
    delete ui;
}

void AboutDialog::changeEvent(QEvent* event) {
    if (event->type() == QEvent::LanguageChange)
        ui->retranslateUi(this);
    QWidget::changeEvent(event);
}
