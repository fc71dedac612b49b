#pragma once

#include <QPointer>
#include <QRect>
#include <QSystemTrayIcon>
#include <QTime>
#include <QTimer>
#include <memory>

class AboutDialog;
class NoticeBox;
class QAction;
class QActionGroup;
class QMenu;

// The tray icon and its context menu: opens the windows, switches the recognition language of the
// working mode, keeps the icon and the language marks in step with the settings store, and reports
// its own screen geometry for the hover rule of the main window: once when the pointer comes to
// rest on the icon, then twice a second for as long as the rule says the hover goes on. The icon
// and the marks are set again only when the store has changed.
class SystemTray : public QSystemTrayIcon {
    Q_OBJECT
public:
    explicit SystemTray(QObject* parent = nullptr);
    ~SystemTray() override;

    enum class EngineStatus { Loading, Ready, Failing };

    QMenu* menu() const { return m_menu.get(); }
    // The language action of value 0 (Mandarin) to 4 (Henanese).
    QAction* languageAction(int value) const;
    QActionGroup* languageGroup() const { return m_languageGroup; }
    AboutDialog* aboutWindow() const;
    NoticeBox* noticeBox() const { return m_prompt; }

    // The geometry reported to the hover rule. Where no tray exists (a bare X server, the
    // offscreen platform) a fixed rectangle can stand in for the icon's place.
    void setGeometryOverride(const QRect& rect);
    QRect trayGeometry() const;
    // Keeps the 500 ms hover step running (true) or stops it (false).
    void watchHover(bool on);

    // The icon's tooltip names the speech engine in use and its state; a failure keeps the time
    // it began until the engine works again.
    void showEngineStatus(bool server, SystemTray::EngineStatus status,
                          const QTime& now = QTime::currentTime());

signals:
    void showWidget();
    void showPersonLogIn();
    void showSoftwareSet();
    void showCustomCommandEditor();
    void trayPosition(int& x, int& y, int& width, int& height);
    // A step found the store changed (by any thread or window) and brought the tray in step.
    void settingsChanged();

public slots:
    void quitSystem();
    void showAboutUs();
    void showUpdateUrl();
    void showChinese();
    void showEnglish();
    void showYueYu();
    void showSiChuan();
    void showHeNan();
    void closeAbout();

    // The hover step: geometry report for the hover rule, then syncWithStore().
    void refresh();
    // Icon and language marks, set again only when the store changed since the last sync.
    void syncWithStore();

protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    // Shows a language notice in the tray's notice box for 500 ms.
    virtual void showNotice(const QString& text);

private:
    // Menu texts and tooltip in the interface language.
    void retranslate();
    void chooseLanguage(int value);
    void markLanguage(int value);
    void updateIcon();

    std::unique_ptr<QMenu> m_menu;
    QAction* m_entries[11] = {}; // the menu's entries and sub-menus, top to bottom
    QAction* m_languages[5] = {};
    QActionGroup* m_languageGroup = nullptr;
    QPointer<AboutDialog> m_about;
    QTimer m_timer;
    NoticeBox* m_prompt = nullptr;
    QRect m_geometryOverride;
    int m_iconState = -1;
    quint64 m_seenGeneration = ~quint64(0); // none seen yet: the first step syncs
    QTime m_failingSince;
    bool m_engineShown = false; // the last engine status, shown again in a new language
    bool m_engineServer = false;
    EngineStatus m_engineStatus = EngineStatus::Loading;
    int m_x = 0;
    int m_y = 0;
    int m_width = 0;
    int m_height = 0;
};
