#pragma once

#include <QWidget>

namespace Ui {
class AboutDialog;
}

// Product name, version and rights holder.
class AboutDialog : public QWidget {
    Q_OBJECT
public:
    explicit AboutDialog(QWidget* parent = nullptr);
    ~AboutDialog() override;

signals:
    void closeDialog();

private:
    Ui::AboutDialog* ui;
};
