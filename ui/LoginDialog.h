#pragma once

#include <QDialog>

namespace Ui {
class LoginDialog;
}

// The login form. There is no login service: only the close button acts, and nothing typed is
// read or kept.
class LoginDialog : public QDialog {
    Q_OBJECT
public:
    explicit LoginDialog(QWidget* parent = nullptr);
    ~LoginDialog() override;

signals:
    void closeDialog();

protected:
    // Texts of the form in the interface language, when it changes.
    void changeEvent(QEvent* event) override;

private:
    Ui::LoginDialog* ui;
};
