#pragma once

#include <QDialog>

class QPushButton;

namespace Ui {
class HelpDialog;
}

// The help window: four tabs (operating steps, installation, details in two inner pages, common
// questions) and an exit button. The inner page of the details tab is kept across tabs.
class HelpDialog : public QDialog {
    Q_OBJECT
public:
    explicit HelpDialog(QWidget* parent = nullptr);
    ~HelpDialog() override;

    static QString chosenTabLook();
    static QString otherTabLook();

signals:
    void closeDialog();

protected:
    // Texts of the form in the interface language, when it changes.
    void changeEvent(QEvent* event) override;

private:
    void chooseTab(int page);

    Ui::HelpDialog* ui;
    QPushButton* m_tabs[4] = {};
};
