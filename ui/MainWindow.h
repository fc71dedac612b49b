#pragma once

#include "ui/HelpDialog.h"
#include "ui/LoginDialog.h"
#include "ui/QuickGuidePanel.h"
#include "ui/SettingsDialog.h"

#include <QMainWindow>
#include <QPointer>
#include <QSystemTrayIcon>
#include <functional>

class FloatingModeBar;
class QAction;
class QLabel;
class QMenu;
class QTextBrowser;
class SystemTray;

namespace Ui {
class MainWindow;
}

// The hidden hub of the user interface: owns the tray icon and the floating mode tool, opens and
// closes the secondary windows, and, when opened from the tray, shows the log of what the program
// did with each utterance. Closing it only hides it.
class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    explicit MainWindow(QWidget* parent = nullptr);
    ~MainWindow() override;

    SystemTray* tray() const { return m_tray; }
    FloatingModeBar* floatingModeBar() const { return m_tool; }
    QTextBrowser* logView() const { return m_log; }
    QAction* helpAction() const { return m_helpAction; }

    // The open secondary windows (null when closed).
    LoginDialog* loginDialog() const { return m_logIn; }
    SettingsDialog* settingsDialog() const { return m_settings; }
    QuickGuidePanel* quickGuide() const { return m_quickGuide; }
    QWidget* customCommandEditor() const { return m_customCommandEditor; }
    HelpDialog* helpDialog() const { return m_help; }

    // Process-wide counters of the tray: left clicks so far, and whether the pointer rested on
    // the icon at the last hover check.
    static int trayClickCount();
    static int hoverFlag();

    // Where the hover rule reads the pointer; the cursor position unless replaced.
    void setPointerSource(std::function<QPoint()> source) { m_pointer = std::move(source); }

signals:
    // The settings dialog saved new speech engine settings.
    void speechEngineChanged();

public slots:
    void appendActivity(const QString& text);
    void showWindow();
    void showLogIn();
    void showSoftwareSetting();
    void showCustomFunc();
    void SystemTrayActivated(QSystemTrayIcon::ActivationReason reason);
    void showLeftMouseEvent();
    void showHelp();
    void showFloatingModeBar();
    void processTray(int& x, int& y, int& width, int& height);
    void closeSoftWareSet();
    void closeQuickGuide();
    void closeCustomFun();
    void closeHelpDialog();
    void closeUserLogin();

    // Connection, login and clock labels: every second while the window is shown, and whenever
    // the tray finds the settings changed.
    void refreshStatus();

protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void applyHoverRule(int x, int y, int width, int height);
    // Texts set in code, in the interface language.
    void retranslate();

    Ui::MainWindow* ui;
    SystemTray* m_tray = nullptr;
    FloatingModeBar* m_tool = nullptr;
    QTextBrowser* m_log = nullptr;
    QLabel* m_spareLabel = nullptr;
    QLabel* m_loginLabel = nullptr;
    QLabel* m_connectionLabel = nullptr;
    QLabel* m_clockLabel = nullptr;
    QMenu* m_helpMenu = nullptr;
    QAction* m_helpAction = nullptr;
    int m_trayX = 0;
    int m_trayY = 0;
    std::function<QPoint()> m_pointer;

    QPointer<LoginDialog> m_logIn;
    QPointer<SettingsDialog> m_settings;
    QPointer<QuickGuidePanel> m_quickGuide;
    QPointer<QWidget> m_customCommandEditor;
    QPointer<HelpDialog> m_help;
};
