#include "ui/HelpDialog.h"
#include "ui_HelpDialog.h"

HelpDialog::HelpDialog(QWidget* parent) : QDialog(parent), ui(new Ui::HelpDialog) {
    ui->setupUi(this);
    m_tabs[0] = ui->pushButton;
    m_tabs[1] = ui->pushButton_2;
    m_tabs[2] = ui->pushButton_3;
    m_tabs[3] = ui->pushButton_4;
    ui->pushButton_5->setStyleSheet(otherTabLook());
    ui->stackedWidget_2->setCurrentIndex(0);
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
    ui->stackedWidget->setCurrentIndex(page);
    for (int tab = 0; tab < 4; ++tab)
        m_tabs[tab]->setStyleSheet(tab == page ? chosenTabLook() : otherTabLook());
}

void HelpDialog::on_pushButton_clicked() {
    chooseTab(0);
}
void HelpDialog::on_pushButton_2_clicked() {
    chooseTab(1);
}
void HelpDialog::on_pushButton_3_clicked() {
    chooseTab(2);
}
void HelpDialog::on_pushButton_4_clicked() {
    chooseTab(3);
}
void HelpDialog::on_pushButton_5_clicked() {
    emit closeDialog();
}
void HelpDialog::on_pushButton_6_clicked() {
    ui->stackedWidget_2->setCurrentIndex(1);
}
void HelpDialog::on_pushButton_7_clicked() {
    ui->stackedWidget_2->setCurrentIndex(0);
}
