#pragma once

#include <QWidget>

namespace Ui {
class AboutZorvel;
}

// Product name, version and rights holder.
class AboutZorvel : public QWidget {
    Q_OBJECT
public:
    explicit AboutZorvel(QWidget* parent = nullptr);
    ~AboutZorvel() override;

signals:
    void closeDialog();

private slots:
    void on_pushButton_clicked();

private:
    Ui::AboutZorvel* ui;
};
