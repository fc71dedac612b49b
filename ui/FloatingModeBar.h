#pragma once

#include <QWidget>

class NoticeBox;
class QPushButton;

namespace Ui {
class FloatingModeBar;
}

// The floating strip above the tray icon: three buttons switch the working mode with one press
// (any mouse button), the fourth opens the settings dialog. The main window shows, moves and
// hides it; the strip hides itself when the pointer leaves it.
class FloatingModeBar : public QWidget {
    Q_OBJECT
public:
    explicit FloatingModeBar(QWidget* parent = nullptr);
    ~FloatingModeBar() override;

    // Looks of the mode buttons: the active mode and the others.
    static QString activeLook();
    static QString normalLook();

    NoticeBox* noticeBox() const { return m_prompt; }

signals:
    void showSettingsDialog();

public slots:
    // Gives the button of the active mode the active look (the last active one in the order
    // typing, intelligent, translation when several flags are set). Runs whenever the store
    // changes.
    void refreshLooks();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

protected:
    // Texts of the form in the interface language, when it changes.
    void changeEvent(QEvent* event) override;

private:
    void openSettings();
    void chooseMode(int mode);

    Ui::FloatingModeBar* ui;
    NoticeBox* m_prompt;
    QPushButton* m_modeButtons[3];
};
