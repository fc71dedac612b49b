#pragma once

#include <QWidget>

namespace Ui {
class BootUpdateBox;
}

// Shown at start when a newer version exists and updates are automatic: "立马更新" opens the
// product page, "以后再说" hides the window.
class BootUpdateBox : public QWidget {
    Q_OBJECT
public:
    explicit BootUpdateBox(QWidget* parent = nullptr);
    ~BootUpdateBox() override;

private slots:
    void on_pushButton_clicked();
    void on_pushButton_2_clicked();

private:
    Ui::BootUpdateBox* ui;
};
