#pragma once

#include <QWidget>

class InstruductionsWidget;
class StartAtLogon;

namespace Ui {
class ImportantHintWidget;
}

// The first window of the first run: asks to start at logon (the box starts checked, which
// registers at once) and leads on to the operating steps.
class ImportantHintWidget : public QWidget {
    Q_OBJECT
public:
    // The start-at-logon entry goes through the given seam, or the platform's own when null.
    explicit ImportantHintWidget(QWidget* parent = nullptr, StartAtLogon* startAtLogon = nullptr);
    ~ImportantHintWidget() override;

    InstruductionsWidget* instructions() const { return m_instructions; }

private slots:
    void on_pushButton_clicked();
    void on_checkBox_stateChanged(int arg1);

private:
    Ui::ImportantHintWidget* ui;
    StartAtLogon* m_startAtLogon;
    InstruductionsWidget* m_instructions = nullptr;
};
