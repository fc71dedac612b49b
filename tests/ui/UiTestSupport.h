#pragma once

#include "app/ConfigStore.h"
#include "app/FontSetup.h"
#include "app/PromptBox.h"
#include "platform/fake/FakeStartAtLogon.h"
#include "tests/support/TestDir.h"
#include "ui/AboutZorvel.h"
#include "ui/BasicSkillsWidget.h"
#include "ui/ConvenientTool.h"
#include "ui/DesktopGeometry.h"
#include "ui/ImportantHintWidget.h"
#include "ui/InstruductionsWidget.h"
#include "ui/MainWindow.h"
#include "ui/PromptMessageDialog.h"
#include "ui/SoftwareSettingsDialog.h"
#include "ui/SystemTray.h"
#include "ui/UseIntructionsDialog.h"
#include "ui/UserLogInDialog.h"

#include <QtTest>
#include <QtWidgets>
#include <memory>

using Values = QMap<QString, int>;
Q_DECLARE_METATYPE(Values)

namespace uitest {

// Values written as "Key=1 Other=0".
inline Values values(const QString& text) {
    Values out;
    for (const QString& pair : text.simplified().split(' ', Qt::SkipEmptyParts))
        out.insert(pair.section('=', 0, 0), pair.section('=', 1).toInt());
    return out;
}

// The values of "config.txt" in the current directory as saved last.
inline Values saved() {
    QFile file(QStringLiteral("config.txt"));
    return file.open(QIODevice::ReadOnly) ? values(QString::fromUtf8(file.readAll())) : Values();
}

// The saved values of the given keys, -99 for a missing one.
inline Values saved(const Values& keys) {
    const Values all = saved();
    Values out;
    for (auto it = keys.cbegin(); it != keys.cend(); ++it)
        out.insert(it.key(), all.value(it.key(), -99));
    return out;
}

// Sets keys in the store and saves them, as a previous run would have left them.
inline void preset(const Values& values) {
    for (auto it = values.cbegin(); it != values.cend(); ++it)
        ConfigStore::instance()[it.key()] = it.value();
    ConfigStore::instance().save();
}

// The three mode flags from digits in the order typing, intelligent, translation ("100").
inline Values modes(const QString& flags) {
    return {{"TypingModel", flags[0].digitValue()},
            {"IntelligenceModel", flags[1].digitValue()},
            {"TranslationModel", flags[2].digitValue()}};
}

template <typename T = QAbstractButton> T* child(const QObject& parent, const QString& name) {
    T* found = parent.findChild<T*>(name);
    if (!found)
        qFatal("no child %s", qPrintable(name));
    return found;
}
inline void click(const QObject& parent, const QString& name) {
    child(parent, name)->click();
}

inline int topLevelCount(const char* className) {
    int count = 0;
    for (QWidget* widget : QApplication::topLevelWidgets())
        count += widget->inherits(className) ? 1 : 0;
    return count;
}

// The menu entry with the given text, searched through the sub-menus.
inline QAction* menuEntry(QMenu* menu, const QString& text) {
    for (QAction* action : menu->actions()) {
        if (action->text() == text)
            return action;
        if (QAction* inner = action->menu() ? menuEntry(action->menu(), text) : nullptr)
            return inner;
    }
    return nullptr;
}

// Destroys the windows closed so far.
inline void dropClosed() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

} // namespace uitest

// Base of the user-interface tests: one temporary working directory per case, also the home of
// the start-at-logon entries so that no test touches the user's session.
class UiTest : public QObject {
    Q_OBJECT
protected slots:
    void initTestCase() { installFontSubstitutions(); }
    void init() {
        m_dir = std::make_unique<TestDir>();
        qputenv("XDG_CONFIG_HOME", m_dir->path().toUtf8());
    }
    void cleanup() {
        uitest::dropClosed(); // before the directory goes
        m_dir.reset();
    }

private:
    std::unique_ptr<TestDir> m_dir;
};
