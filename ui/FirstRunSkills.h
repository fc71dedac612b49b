#pragma once

#include <QWidget>

namespace Ui {
class FirstRunSkills;
}

// The last window of the first run: what each working mode can do, with sample commands.
class FirstRunSkills : public QWidget {
    Q_OBJECT
public:
    explicit FirstRunSkills(QWidget* parent = nullptr);
    ~FirstRunSkills() override;

signals:
    void showInstructionWidget();

protected:
    // Texts of the form in the interface language, when it changes.
    void changeEvent(QEvent* event) override;

private:
    void goBack();

    Ui::FirstRunSkills* ui;
};
