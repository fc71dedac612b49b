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

protected:
    // Texts of the form in the interface language, when it changes.
    void changeEvent(QEvent* event) override;

private:
    Ui::AboutDialog* ui;
};
