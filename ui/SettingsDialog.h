#pragma once

#include "app/SpeechEngineSettings.h"

#include <QDialog>
#include <QStringList>
#include <QTimer>

class SpeechConnectionTest;
class StartAtLogon;

namespace Ui {
class SettingsDialog;
}

// Edits every user setting at once: each control writes its key(s) and saves the store the moment
// it changes, so the buttons and the close button only close. While open it follows changes made
// by the tray menu and the floating tool (modes and languages) every 1100 ms. The speech group
// writes the [speech] keys of "services.ini" and can try the server before it is used.
class SettingsDialog : public QDialog {
    Q_OBJECT
public:
    // The start-at-logon entry goes through the given seam, or the platform's own when null.
    explicit SettingsDialog(QWidget* parent = nullptr, StartAtLogon* startAtLogon = nullptr);
    ~SettingsDialog() override;

signals:
    void closeDialog();
    // The speech engine settings were saved: the next take should use them.
    void speechEngineChanged();

public slots:
    // The 1100 ms step: mode buttons and the four language lists from the store.
    void refreshFromStore();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void connectControls();
    void setStartAtLogon(int state);
    void writeFlags(const char* const keys[3], int chosen);
    void writeKey(const char* key, int value);
    void writeCheck(const char* key, int state);
    void loadSpeechGroup();
    SpeechEngineSettings speechFromForm() const;
    void saveSpeechGroup();
    void testConnection();
    // Recognition languages the chosen engine cannot recognise are shown disabled, with a tooltip.
    void markLanguages();

    Ui::SettingsDialog* ui;
    StartAtLogon* m_startAtLogon;
    QTimer m_timer;
    SpeechEngineSettings m_speech;
    SpeechConnectionTest* m_connectionTest = nullptr;
    QStringList m_testReport; // one line per request of the running connection test
    int m_dragX = 0;
    int m_dragY = 0;
};
