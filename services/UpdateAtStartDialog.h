#pragma once

#include <QWidget>

namespace Ui {
class UpdateAtStartDialog;
}

// Shown at start when a newer version exists and updates are automatic: "立马更新" opens the
// product page, "以后再说" hides the window.
class UpdateAtStartDialog : public QWidget {
    Q_OBJECT
public:
    explicit UpdateAtStartDialog(QWidget* parent = nullptr);
    ~UpdateAtStartDialog() override;

protected:
    // Texts of the form in the interface language, when it changes.
    void changeEvent(QEvent* event) override;

private:
    void openProductPage();

    Ui::UpdateAtStartDialog* ui;
};
