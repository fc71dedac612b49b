#pragma once

#include <QDialog>

namespace Ui {
class UserLogInDialog;
}

// The login form. There is no login service: only the close button acts, and nothing typed is
// read or kept.
class UserLogInDialog : public QDialog {
    Q_OBJECT
public:
    explicit UserLogInDialog(QWidget* parent = nullptr);
    ~UserLogInDialog() override;

signals:
    void closeDialog();

private slots:
    void on_toolButton_clicked();

private:
    Ui::UserLogInDialog* ui;
};
