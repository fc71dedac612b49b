#include "ui/SystemTray.h"

#include "services/UpdateCheck.h"

#include "app/ConfigStore.h"
#include "app/NoticeBox.h"
#include "ui/AboutDialog.h"

#include <QActionGroup>
#include <QApplication>
#include <QEvent>
#include <QMenu>
#include <QtDebug>

namespace {
const char* const kLanguageTexts[5] = {
    QT_TRANSLATE_NOOP("SystemTray", "中文(普通话)"), QT_TRANSLATE_NOOP("SystemTray", "英文"),
    QT_TRANSLATE_NOOP("SystemTray", "粤语"), QT_TRANSLATE_NOOP("SystemTray", "四川话"),
    QT_TRANSLATE_NOOP("SystemTray", "河南话")};
const char* const kModeKeys[3] = {"TypingModel", "IntelligenceModel", "TranslationModel"};
const char* const kLanguageKeys[3] = {"TypingLanguage", "IntelligenceLanguage", "TranslationLanguage"};
const int kTranslation = 2;
const int kStepMs = 500;

QIcon selectIcon() {
    return QIcon(QStringLiteral(":/ico/images/select.ico"));
}
QIcon emptyIcon() {
    return QIcon(QStringLiteral(":/ico/images/empty.ico"));
}
} // namespace

SystemTray::SystemTray(QObject* parent) : QSystemTrayIcon(parent) {
    m_prompt = new NoticeBox;
    m_menu = std::make_unique<QMenu>();

    QAction* openMain = m_entries[0] = m_menu->addAction(QString());
    openMain->setFont(QFont(QStringLiteral("微软雅黑"), 9, 70));
    QAction* about = m_entries[1] = m_menu->addAction(QString());
    QAction* update = m_entries[2] = m_menu->addAction(QString());
    m_entries[3] = m_menu->addAction(QString());
    m_entries[4] = m_menu->addAction(QString());
    QAction* settings = m_entries[5] = m_menu->addAction(QString());
    QMenu* personal = m_menu->addMenu(QString());
    m_entries[6] = personal->menuAction();
    QAction* custom = m_entries[7] = personal->addAction(QString());
    QAction* login = m_entries[8] = personal->addAction(QString());
    QMenu* languages = m_menu->addMenu(QString());
    m_entries[9] = languages->menuAction();
    m_languageGroup = new QActionGroup(m_menu.get());
    m_languageGroup->setExclusive(true);
    m_languageGroup->setEnabled(true);
    for (int value = 0; value < 5; ++value) {
        m_languages[value] = languages->addAction(QString());
        m_languages[value]->setCheckable(true);
        m_languageGroup->addAction(m_languages[value]);
    }
    QAction* quit = m_entries[10] = m_menu->addAction(QString());
    retranslate();
    // The menu is a window of its own: it hears when the interface language changes.
    m_menu->installEventFilter(this);

    updateIcon();
    syncWithStore();

    // The icon and the marks follow the store when it changes; the step only serves the hover rule
    // and runs only while it is in progress.
    connect(&ConfigStore::instance(), &ConfigStore::changed, this, &SystemTray::syncWithStore,
            Qt::QueuedConnection);
    connect(&m_timer, &QTimer::timeout, this, &SystemTray::refresh);
    connect(openMain, &QAction::triggered, this, &SystemTray::showWidget);
    connect(about, &QAction::triggered, this, &SystemTray::showAboutUs);
    connect(update, &QAction::triggered, this, &SystemTray::showUpdateUrl);
    connect(settings, &QAction::triggered, this, &SystemTray::showSoftwareSet);
    connect(custom, &QAction::triggered, this, &SystemTray::showCustomCommandEditor);
    connect(login, &QAction::triggered, this, &SystemTray::showPersonLogIn);
    connect(m_languages[0], &QAction::triggered, this, &SystemTray::showChinese);
    connect(m_languages[1], &QAction::triggered, this, &SystemTray::showEnglish);
    connect(m_languages[2], &QAction::triggered, this, &SystemTray::showYueYu);
    connect(m_languages[3], &QAction::triggered, this, &SystemTray::showSiChuan);
    connect(m_languages[4], &QAction::triggered, this, &SystemTray::showHeNan);
    connect(quit, &QAction::triggered, this, &SystemTray::quitSystem);

    setContextMenu(m_menu.get());
    // Without a tray (a bare X server) the program keeps running; the windows stay reachable
    // once a tray appears, since the icon stays set to visible.
    static bool warned = false;
    if (!warned && !QSystemTrayIcon::isSystemTrayAvailable()) {
        warned = true;
        qWarning() << "System tray , no system tray available, the tray icon is not shown !";
    }
    setVisible(true);
}

SystemTray::~SystemTray() {
    m_timer.stop();
    delete m_about.data();
    delete m_prompt;
}

QAction* SystemTray::languageAction(int value) const {
    return value >= 0 && value < 5 ? m_languages[value] : nullptr;
}

void SystemTray::setGeometryOverride(const QRect& rect) {
    m_geometryOverride = rect;
}

void SystemTray::watchHover(bool on) {
    if (!on)
        m_timer.stop();
    else if (!m_timer.isActive())
        m_timer.start(kStepMs);
}

bool SystemTray::event(QEvent* event) {
    // The icon's window passes on the tooltip event when the pointer rests on it: the hover
    // rule wakes then, instead of asking the X server for the pointer twice a second all day.
    if (event->type() == QEvent::ToolTip)
        refresh();
    return QSystemTrayIcon::event(event);
}

bool SystemTray::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_menu.get() && event->type() == QEvent::LanguageChange)
        retranslate();
    return QSystemTrayIcon::eventFilter(watched, event);
}

void SystemTray::retranslate() {
    const QString texts[11] = {tr("打开主窗口"), tr("关于Zorvel"), tr("软件更新"), tr("意见反馈"),
                               tr("购买产品"),   tr("软件设置"),   tr("个人中心"), tr("自定义功能"),
                               tr("用户登录"),   tr("语言设置"),   tr("退出")};
    for (int i = 0; i < 11; ++i)
        m_entries[i]->setText(texts[i]);
    for (int value = 0; value < 5; ++value)
        m_languages[value]->setText(tr(kLanguageTexts[value]));
    if (m_engineShown)
        showEngineStatus(m_engineServer, m_engineStatus, QTime::currentTime());
}

QRect SystemTray::trayGeometry() const {
    return m_geometryOverride.isValid() ? m_geometryOverride : geometry();
}

void SystemTray::updateIcon() {
    const int connected = ConfigStore::instance()["MonitorZorvelMouseConnect"] == 1 ? 1 : 0;
    if (connected == m_iconState)
        return;
    m_iconState = connected;
    setIcon(QIcon(connected ? QStringLiteral(":/ico/images/zorvel.ico")
                            : QStringLiteral(":/ico/images/zorvelhui.ico")));
}

void SystemTray::refresh() {
    const QRect rect = trayGeometry();
    m_x = rect.x();
    m_y = rect.y();
    m_width = rect.width();
    m_height = rect.height();
    emit trayPosition(m_x, m_y, m_width, m_height);
    syncWithStore();
}

void SystemTray::syncWithStore() {
    ConfigStore& store = ConfigStore::instance();
    const quint64 generation = store.generation();
    if (generation == m_seenGeneration)
        return;
    m_seenGeneration = generation;

    updateIcon();
    for (int mode = 0; mode < 3; ++mode) {
        if (store[QLatin1String(kModeKeys[mode])] != 1)
            continue;
        const int value = store[QLatin1String(kLanguageKeys[mode])];
        if (value < 0 || value > 4)
            continue;
        markLanguage(value);
        // Translation only knows Mandarin, English and Cantonese: the dialects get the mark
        // but not the check.
        if (mode != kTranslation || value <= 2)
            m_languages[value]->setChecked(true);
    }
    emit settingsChanged();
}

void SystemTray::markLanguage(int value) {
    for (int other = 0; other < 5; ++other)
        m_languages[other]->setIcon(other == value ? selectIcon() : emptyIcon());
}

void SystemTray::showNotice(const QString& text) {
    m_prompt->showPromptFor(text, 500);
}

void SystemTray::chooseLanguage(int value) {
    ConfigStore& store = ConfigStore::instance();
    const QString notice = tr("你选择：%1").arg(tr(kLanguageTexts[value]));
    const bool dialect = value >= 3;
    if (!dialect && store["ClosePrompt"] == 0)
        showNotice(notice);

    for (int mode = 0; mode < 3; ++mode) {
        if (store[QLatin1String(kModeKeys[mode])] != 1)
            continue;
        if (mode == kTranslation && dialect) {
            // Refused: translation has no dialects. The next refresh puts the mark back.
            for (QAction* action : m_languages)
                action->setIcon(emptyIcon());
            m_seenGeneration = ~quint64(0);
            QTimer::singleShot(kStepMs, this, &SystemTray::syncWithStore);
            continue;
        }
        if (dialect && store["ClosePrompt"] == 0)
            showNotice(notice);
        store[QLatin1String(kLanguageKeys[mode])] = value;
        store.save();
        markLanguage(value);
    }
}

void SystemTray::showChinese() {
    chooseLanguage(0);
}
void SystemTray::showEnglish() {
    chooseLanguage(1);
}
void SystemTray::showYueYu() {
    chooseLanguage(2);
}
void SystemTray::showSiChuan() {
    chooseLanguage(3);
}
void SystemTray::showHeNan() {
    chooseLanguage(4);
}

void SystemTray::quitSystem() {
    qDebug() << QStringLiteral("主程序退出");
    QCoreApplication::quit();
}

void SystemTray::showAboutUs() {
    if (m_about)
        closeAbout();
    m_about = new AboutDialog;
    connect(m_about, &AboutDialog::closeDialog, this, &SystemTray::closeAbout);
}

void SystemTray::closeAbout() {
    if (!m_about)
        return;
    AboutDialog* about = m_about;
    m_about = nullptr;
    about->close();
    about->deleteLater();
}

void SystemTray::showUpdateUrl() {
    UpdateCheck::checkManually();
}

AboutDialog* SystemTray::aboutWindow() const {
    return m_about;
}

void SystemTray::showEngineStatus(bool server, EngineStatus status, const QTime& now) {
    if (status != EngineStatus::Failing)
        m_failingSince = QTime();
    else if (!m_failingSince.isValid())
        m_failingSince = now;
    m_engineShown = true;
    m_engineServer = server;
    m_engineStatus = status;
    const QString engine = server ? tr("语音识别服务器") : tr("内置离线引擎（英语）");
    QString state;
    switch (status) {
    case EngineStatus::Loading:
        state = tr("正在加载");
        break;
    case EngineStatus::Ready:
        state = tr("就绪");
        break;
    case EngineStatus::Failing:
        state = (server ? tr("服务器无法连接，自 %1 起") : tr("无法使用，自 %1 起"))
                    .arg(m_failingSince.toString(QStringLiteral("HH:mm")));
        break;
    }
    setToolTip(tr("Zorvel\n%1：%2").arg(engine, state));
}
