#pragma once

#include "app/ConfigStore.h"
#include "app/FontSetup.h"
#include "app/NoticeBox.h"
#include "platform/fake/FakeStartAtLogon.h"
#include "tests/support/TestDir.h"
#include "ui/AboutDialog.h"
#include "ui/DesktopGeometry.h"
#include "ui/FirstRunHint.h"
#include "ui/FirstRunSkills.h"
#include "ui/FirstRunSteps.h"
#include "ui/FloatingModeBar.h"
#include "ui/MainWindow.h" // with the windows it opens
#include "ui/SystemTray.h"

#include <QtTest>
#include <QtWidgets>
#include <memory>

using Values = QMap<QString, int>;
Q_DECLARE_METATYPE(Values)

// Base of the user-interface tests: one temporary working directory per case, also the home of
// the start-at-logon entries so that no test touches the user's session; and shared helpers.
class UiTest : public QObject {
    Q_OBJECT
public:
    // Values written as "Key=1 Other=0".
    static Values values(const QString& text) {
        Values out;
        for (const QString& pair : text.simplified().split(' ', Qt::SkipEmptyParts))
            out.insert(pair.section('=', 0, 0), pair.section('=', 1).toInt());
        return out;
    }
    // The values of "config.txt" as saved last.
    static Values saved() {
        QFile file(QStringLiteral("config.txt"));
        return file.open(QIODevice::ReadOnly) ? values(QString::fromUtf8(file.readAll())) : Values();
    }
    // The saved values of the given keys, -99 for a missing one.
    static Values saved(const Values& keys) {
        Values out;
        for (const QString& key : keys.keys())
            out.insert(key, saved().value(key, -99));
        return out;
    }
    // Sets keys in the store and saves them, as a previous run would have left them.
    static void preset(const Values& values) {
        for (auto it = values.cbegin(); it != values.cend(); ++it)
            ConfigStore::instance()[it.key()] = it.value();
        ConfigStore::instance().save();
    }
    // The three mode flags as digits in the order typing, intelligent, translation ("100").
    static Values modes(const QString& f) {
        return values(
            QString("TypingModel=%1 IntelligenceModel=%2 TranslationModel=%3").arg(f[0]).arg(f[1]).arg(f[2]));
    }
    template <typename T = QAbstractButton> static T* child(const QObject& parent, const QString& name) {
        T* found = parent.findChild<T*>(name);
        if (!found)
            qFatal("no child %s", qPrintable(name));
        return found;
    }
    static void click(const QObject& parent, const QString& name) { child(parent, name)->click(); }
    static int topLevelCount(const char* className) {
        const QWidgetList all = QApplication::topLevelWidgets();
        return int(std::count_if(all.begin(), all.end(), [&](QWidget* w) { return w->inherits(className); }));
    }
    // The menu entry with the given text, searched through the sub-menus.
    static QAction* menuEntry(QMenu* menu, const QString& text) {
        for (QAction* action : menu->actions()) {
            if (action->text() == text)
                return action;
            if (QAction* inner = action->menu() ? menuEntry(action->menu(), text) : nullptr)
                return inner;
        }
        return nullptr;
    }
    // Writes "services.ini" into the working directory and reads it as at start.
    static void writeServices(const QByteArray& text) {
        QFile file(QStringLiteral("services.ini"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(text);
        file.close();
        TestDir::reloadSettings();
    }
    static void dropClosed() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }
protected slots:
    void initTestCase() { installFontSubstitutions(); }
    void init() {
        m_dir = std::make_unique<TestDir>();
        qputenv("XDG_CONFIG_HOME", m_dir->path().toUtf8());
    }
    void cleanup() {
        dropClosed(); // before the directory goes
        m_dir.reset();
    }

private:
    std::unique_ptr<TestDir> m_dir;
};
