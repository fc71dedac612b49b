#pragma once

#include <QWidget>

class FirstRunSkills;

namespace Ui {
class FirstRunSteps;
}

// The operating steps of the first run (hold the voice key, speak, release); leads on to the
// basic skills window and comes back from it.
class FirstRunSteps : public QWidget {
    Q_OBJECT
public:
    explicit FirstRunSteps(QWidget* parent = nullptr);
    ~FirstRunSteps() override;

    FirstRunSkills* firstRunSkills() const { return m_firstRunSkills; }

public slots:
    void showThis();

protected:
    // Texts of the form in the interface language, when it changes.
    void changeEvent(QEvent* event) override;

private:
    void showSkills();

    Ui::FirstRunSteps* ui;
    FirstRunSkills* m_firstRunSkills;
};
