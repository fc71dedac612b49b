#pragma once

#include <QWidget>

namespace Ui {
class BasicSkillsWidget;
}

// The last window of the first run: what each working mode can do, with sample commands.
class BasicSkillsWidget : public QWidget {
    Q_OBJECT
public:
    explicit BasicSkillsWidget(QWidget* parent = nullptr);
    ~BasicSkillsWidget() override;

signals:
    void showInstructionWidget();

private slots:
    void on_pushButton_2_clicked();
    void on_pushButton_clicked();

private:
    Ui::BasicSkillsWidget* ui;
};
