#pragma once

#include <QWidget>

class BasicSkillsWidget;

namespace Ui {
class InstruductionsWidget;
}

// The operating steps of the first run (hold the voice key, speak, release); leads on to the
// basic skills window and comes back from it.
class InstruductionsWidget : public QWidget {
    Q_OBJECT
public:
    explicit InstruductionsWidget(QWidget* parent = nullptr);
    ~InstruductionsWidget() override;

    BasicSkillsWidget* basicSkills() const { return m_basicSkills; }

public slots:
    void showThis();

private slots:
    void on_pushButton_clicked();

private:
    Ui::InstruductionsWidget* ui;
    BasicSkillsWidget* m_basicSkills;
};
