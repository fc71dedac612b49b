#include "ui/HelpDialog.h"
#include "ui_HelpDialog.h"

#include <QEvent>

HelpDialog::HelpDialog(QWidget* parent) : QDialog(parent), ui(new Ui::HelpDialog) {
    ui->setupUi(this);
    m_tabs[0] = ui->stepsTabButton;
    m_tabs[1] = ui->installTabButton;
    m_tabs[2] = ui->detailsTabButton;
    m_tabs[3] = ui->questionsTabButton;
    for (int tab = 0; tab < 4; ++tab)
        connect(m_tabs[tab], &QPushButton::clicked, this, [this, tab] { chooseTab(tab); });
    connect(ui->exitButton, &QPushButton::clicked, this, &HelpDialog::closeDialog);
    connect(ui->nextDetailButton, &QPushButton::clicked, this,
            [this] { ui->detailPages->setCurrentIndex(1); });
    connect(ui->previousDetailButton, &QPushButton::clicked, this,
            [this] { ui->detailPages->setCurrentIndex(0); });
    ui->exitButton->setStyleSheet(otherTabLook());
    ui->detailPages->setCurrentIndex(0);
    chooseTab(0);

    setWindowFlags(Qt::ToolTip | Qt::FramelessWindowHint);
    raise();
    setAttribute(Qt::WA_DeleteOnClose);
    show();
}

HelpDialog::~HelpDialog() {
    delete ui;
}

QString HelpDialog::chosenTabLook() {
    return QStringLiteral(
        "QPushButton{background-color: rgb(61, 102, 98);\ncolor: rgb(255, 255, 255);\n"
        "font: 14pt \"微软雅黑\";\nborder: none;}\n"
        "QPushButton:hover{background-color: rgb(61, 102, 102);\ncolor: rgb(255, 255, 255);}");
}

QString HelpDialog::otherTabLook() {
    return QStringLiteral(
        "QPushButton{background-color: #e6e6e6;\ncolor: #343434;\n"
        "font: 14pt \"微软雅黑\";\nborder: none;}\n"
        "QPushButton:hover{background-color: rgb(61, 102, 102);\ncolor: rgb(255, 255, 255);}");
}

void HelpDialog::chooseTab(int page) {
    ui->pages->setCurrentIndex(page);
    for (int tab = 0; tab < 4; ++tab)
        m_tabs[tab]->setStyleSheet(tab == page ? chosenTabLook() : otherTabLook());
}

void HelpDialog::changeEvent(QEvent* event) {
    if (event->type() == QEvent::LanguageChange)
        ui->retranslateUi(this);
    QDialog::changeEvent(event);
}
