#pragma once

#include <QDialog>

class QPushButton;

namespace Ui {
class UseIntructionsDialog;
}

// The help window: four tabs (operating steps, installation, details in two inner pages, common
// questions) and an exit button. The inner page of the details tab is kept across tabs.
class UseIntructionsDialog : public QDialog {
    Q_OBJECT
public:
    explicit UseIntructionsDialog(QWidget* parent = nullptr);
    ~UseIntructionsDialog() override;

    static QString chosenTabLook();
    static QString otherTabLook();

signals:
    void closeDialog();

private slots:
    void on_pushButton_clicked();
    void on_pushButton_2_clicked();
    void on_pushButton_3_clicked();
    void on_pushButton_4_clicked();
    void on_pushButton_5_clicked();
    void on_pushButton_6_clicked();
    void on_pushButton_7_clicked();

private:
    void chooseTab(int page);

    Ui::UseIntructionsDialog* ui;
    QPushButton* m_tabs[4] = {};
};
