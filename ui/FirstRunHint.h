#pragma once

#include <QWidget>

class FirstRunSteps;
class StartAtLogon;

namespace Ui {
class FirstRunHint;
}

// The first window of the first run: asks to start at logon (the box starts checked, which
// registers at once) and leads on to the operating steps. Without a speech server it also says
// that only English works until one is set in the settings dialog.
class FirstRunHint : public QWidget {
    Q_OBJECT
public:
    // The start-at-logon entry goes through the given seam, or the platform's own when null.
    explicit FirstRunHint(QWidget* parent = nullptr, StartAtLogon* startAtLogon = nullptr);
    ~FirstRunHint() override;

    FirstRunSteps* instructions() const { return m_instructions; }

protected:
    // Texts of the form in the interface language, when it changes.
    void changeEvent(QEvent* event) override;

private:
    void showSteps();
    void setStartAtLogon(int state);

    Ui::FirstRunHint* ui;
    StartAtLogon* m_startAtLogon;
    FirstRunSteps* m_instructions = nullptr;
};
