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

private:
    void goBack();

    Ui::FirstRunSkills* ui;
};
