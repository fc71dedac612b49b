#include "ui/MainWindow.h"
#include "ui_MainWindow.h"

#include "app/ConfigStore.h"
#include "app/SecondTicker.h"
#include "custom/CustomCommandEditor.h"
#include "ui/DesktopGeometry.h"
#include "ui/FloatingModeBar.h"
#include "ui/HelpDialog.h"
#include "ui/LoginDialog.h"
#include "ui/QuickGuidePanel.h"
#include "ui/SettingsDialog.h"
#include "ui/SystemTray.h"

#include <QCloseEvent>
#include <QCursor>
#include <QDateTime>
#include <QLabel>
#include <QMenuBar>
#include <QStatusBar>
#include <QTextBrowser>

namespace {
int g_hoverFlag = 0;
int g_trayClicks = 0;

QString now() {
    return QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd hh:mm:ss"));
}

// Closes the window of a holder and empties it. The window goes with the next turn of the event
// loop, since the request to close usually comes from one of its own buttons.
template <typename T> void closeHeld(QPointer<T>& holder) {
    if (!holder)
        return;
    T* window = holder;
    holder = nullptr;
    window->close();
    window->deleteLater();
}
} // namespace

MainWindow::MainWindow(QWidget* parent) : QMainWindow(parent), ui(new Ui::MainWindow) {
    ui->setupUi(this);
    setWindowIcon(QIcon(QStringLiteral(":/ico/images/zorvel.ico")));
    m_pointer = [] { return QCursor::pos(); };

    m_tray = new SystemTray(this);
    m_tool = new FloatingModeBar(this);
    connect(m_tool, &FloatingModeBar::showSettingsDialog, this, &MainWindow::showSoftwareSetting);

    QMenu* help = ui->mainMenuBar->addMenu(QString());
    m_helpMenu = help;
    m_helpAction = help->addAction(QString());
    // Without a tray (GNOME by default) this window is the way in: its menu offers the tray's.
    if (!QSystemTrayIcon::isSystemTrayAvailable()) {
        auto* trayMenu = new QMenu(QStringLiteral("Zorvel"), ui->mainMenuBar);
        trayMenu->addActions(m_tray->menu()->actions());
        ui->mainMenuBar->insertMenu(help->menuAction(), trayMenu);
    }

    m_spareLabel = new QLabel(this);
    m_spareLabel->setObjectName(QStringLiteral("spareLabel"));
    m_loginLabel = new QLabel(this);
    m_loginLabel->setObjectName(QStringLiteral("loginLabel"));
    m_connectionLabel = new QLabel(this);
    m_connectionLabel->setObjectName(QStringLiteral("connectionLabel"));
    m_clockLabel = new QLabel(this);
    m_clockLabel->setObjectName(QStringLiteral("clockLabel"));
    for (QLabel* label : {m_spareLabel, m_loginLabel, m_connectionLabel, m_clockLabel})
        ui->mainStatusBar->addWidget(label, 15);

    m_log = new QTextBrowser(this);
    m_log->setObjectName(QStringLiteral("activityLog"));
    m_log->setStyleSheet(QStringLiteral("QTextBrowser{font:10pt \"微软雅黑\";} "));
    m_log->resize(400, 300);
    setCentralWidget(m_log);
    m_log->append(now() + QStringLiteral("  ") + tr("主程序启动"));

    connect(m_helpAction, &QAction::triggered, this, &MainWindow::showHelp);
    connect(m_tray, &SystemTray::showWidget, this, &MainWindow::showWindow);
    connect(m_tray, &SystemTray::showPersonLogIn, this, &MainWindow::showLogIn);
    connect(m_tray, &SystemTray::showSoftwareSet, this, &MainWindow::showSoftwareSetting);
    connect(m_tray, &SystemTray::showCustomCommandEditor, this, &MainWindow::showCustomFunc);
    connect(m_tray, &SystemTray::trayPosition, this, &MainWindow::processTray);
    connect(m_tray, &QSystemTrayIcon::activated, this, &MainWindow::SystemTrayActivated);
    connect(m_tray, &SystemTray::settingsChanged, this, &MainWindow::refreshStatus);
    refreshStatus();

    setMinimumWidth(835);
    setMinimumHeight(450);
    retranslate();
}

void MainWindow::retranslate() {
    m_helpMenu->setTitle(tr("帮助"));
    m_helpAction->setText(tr("使用说明"));
    setWindowTitle(tr("Zorvel鼠标——语音技术由云端语音服务提供"));
    refreshStatus();
}

void MainWindow::changeEvent(QEvent* event) {
    if (event->type() == QEvent::LanguageChange) {
        ui->retranslateUi(this);
        retranslate();
    }
    QMainWindow::changeEvent(event);
}

MainWindow::~MainWindow() {
    delete m_logIn.data();
    delete m_settings.data();
    delete m_quickGuide.data();
    delete m_customCommandEditor.data();
    delete m_help.data();
    delete ui;
}

int MainWindow::trayClickCount() {
    return g_trayClicks;
}

int MainWindow::hoverFlag() {
    return g_hoverFlag;
}

void MainWindow::appendActivity(const QString& text) {
    m_log->append(now() + QStringLiteral("  ") + text);
}

void MainWindow::refreshStatus() {
    const int connected = ConfigStore::instance()["MonitorZorvelMouseConnect"];
    if (connected == 1)
        m_connectionLabel->setText(tr("Zorvel鼠标已连接"));
    else if (connected == 0)
        m_connectionLabel->setText(tr("鼠标或声卡驱动异常"));
    m_loginLabel->setText(tr("未登录"));
    m_clockLabel->setText(now());
}

void MainWindow::closeEvent(QCloseEvent* event) {
    event->ignore();
    hide();
}

// The clock ticks only while the window is shown; hidden, nothing shows it. It rides the
// program's shared once-a-second tick, so it costs no wake-up of its own.
void MainWindow::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    refreshStatus();
    connect(&SecondTicker::instance(), &SecondTicker::tick, this, &MainWindow::refreshStatus,
            Qt::UniqueConnection);
}

void MainWindow::hideEvent(QHideEvent* event) {
    QMainWindow::hideEvent(event);
    disconnect(&SecondTicker::instance(), &SecondTicker::tick, this, &MainWindow::refreshStatus);
}

void MainWindow::showWindow() {
    showNormal();
    raise();
    activateWindow();
}

void MainWindow::showLogIn() {
    closeHeld(m_logIn);
    m_logIn = new LoginDialog;
    m_logIn->setStyleSheet(QStringLiteral("background-color: white"));
    connect(m_logIn, &LoginDialog::closeDialog, this, &MainWindow::closeUserLogin);
}

void MainWindow::showSoftwareSetting() {
    if (m_settings)
        return;
    m_settings = new SettingsDialog;
    m_settings->setStyleSheet(QStringLiteral("background-color: white"));
    connect(m_settings, &SettingsDialog::closeDialog, this, &MainWindow::closeSoftWareSet);
    connect(m_settings, &SettingsDialog::speechEngineChanged, this, &MainWindow::speechEngineChanged);
}

void MainWindow::showCustomFunc() {
    closeHeld(m_customCommandEditor);
    auto* editor = new CustomCommandEditor;
    m_customCommandEditor = editor;
    connect(editor, &CustomCommandEditor::closeDialog, this, &MainWindow::closeCustomFun);
}

void MainWindow::SystemTrayActivated(QSystemTrayIcon::ActivationReason reason) {
    if (reason != QSystemTrayIcon::Trigger)
        return;
    ++g_trayClicks;
    if (g_trayClicks % 2 == 1)
        showLeftMouseEvent();
    else
        closeQuickGuide();
}

void MainWindow::showLeftMouseEvent() {
    closeHeld(m_quickGuide);
    m_quickGuide = new QuickGuidePanel;
    connect(m_quickGuide, &QuickGuidePanel::showSoftwareSets, this, &MainWindow::showSoftwareSetting);
    connect(m_quickGuide, &QuickGuidePanel::closeDialog, this, &MainWindow::closeQuickGuide);
    const QSize desktop = desktopSize();
    m_quickGuide->move(desktop.width() - 205, desktop.height() - 680);
    m_quickGuide->setStyleSheet(QStringLiteral("background-color: white"));
}

void MainWindow::showHelp() {
    closeHeld(m_help);
    m_help = new HelpDialog;
    m_help->setStyleSheet(QStringLiteral("background-color: white"));
    const QSize desktop = desktopSize();
    m_help->move(desktop.width() - 400, desktop.height() - 707);
    connect(m_help, &HelpDialog::closeDialog, this, &MainWindow::closeHelpDialog);
}

void MainWindow::showFloatingModeBar() {
    m_tool->move(m_trayX - 100, m_trayY - 30);
    m_tool->show();
}

void MainWindow::processTray(int& x, int& y, int& width, int& height) {
    applyHoverRule(x, y, width, height);
    // The tray keeps stepping only while the pointer is on the icon or the strip.
    m_tray->watchHover(g_hoverFlag == 1);
}

void MainWindow::applyHoverRule(int x, int y, int width, int height) {
    m_trayX = x;
    m_trayY = y;
    if (g_hoverFlag == 0 && (width <= 0 || height <= 0)) {
        // No icon to rest on (no tray): the pointer cannot be inside, so it is not asked for.
        m_tool->hide();
        return;
    }
    const QPoint pointer = m_pointer();
    const int px = pointer.x();
    const int py = pointer.y();
    if (x < px && px < x + width && y < py && py < y + height) {
        g_hoverFlag = 1;
        showFloatingModeBar();
        return;
    }
    if (g_hoverFlag == 1) {
        // The pointer may move up from the icon into the strip (its own 240 x 30 area).
        if (x - 100 < px && px < x + 140 && y - 30 < py && py < y) {
            m_tool->show();
            return;
        }
        g_hoverFlag = 0;
    }
    m_tool->hide();
}

void MainWindow::closeSoftWareSet() {
    closeHeld(m_settings);
}

void MainWindow::closeQuickGuide() {
    closeHeld(m_quickGuide);
}

void MainWindow::closeCustomFun() {
    closeHeld(m_customCommandEditor);
}

void MainWindow::closeHelpDialog() {
    closeHeld(m_help);
}

void MainWindow::closeUserLogin() {
    closeHeld(m_logIn);
}
