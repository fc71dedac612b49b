#pragma once

#include <QWidget>

namespace Ui {
class UpdateReminder;
}

// Shown at start when a newer version exists and the policy is to remind or never to update; its
// texts follow the policy at construction ("不更新" wins when both keys are set).
class UpdateReminder : public QWidget {
    Q_OBJECT
public:
    explicit UpdateReminder(QWidget* parent = nullptr);
    ~UpdateReminder() override;

protected:
    void changeEvent(QEvent* event) override;

private:
    void acknowledge();
    // The texts of the policy, in the interface language.
    void retranslate();

    Ui::UpdateReminder* ui;
    int m_policy = 0; // 1 remind, 2 never update ("不更新" wins when both keys are set)
};
