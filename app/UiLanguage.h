#pragma once

#include <QLocale>
#include <QString>

// The language of every window, menu and notice. The texts are written in Chinese; on a desktop
// whose locale is not Chinese the English translation compiled into the resources replaces them.
// The user can override the desktop's choice in the settings dialog; the choice is kept as
// "language" in the [ui] section of "services.ini" (system, zh or en), not in config.txt.
class UiLanguage {
public:
    enum Choice { FollowSystem, Chinese, English };

    // The saved choice; a missing or unknown value follows the system.
    static Choice choice();
    // Whether the windows speak English for a choice on a desktop with the given locale.
    static bool englishFor(Choice choice, const QLocale& desktop = desktopLocale());
    // The desktop's language for messages (LANGUAGE, LC_ALL, LC_MESSAGES, LANG on Linux).
    static QLocale desktopLocale();
    // Installs or removes the English translation for the choice; open windows receive
    // QEvent::LanguageChange and retranslate themselves.
    static void apply(Choice choice);
    static bool isEnglish();

    // Writes the choice into [ui] of the file (every other line kept) and into the running
    // configuration, then applies it. False with the reason in error when the file cannot be
    // written; the choice still holds until the program ends.
    static bool save(Choice choice, const QString& path, QString* error);

    static QString key(Choice choice);
    static Choice fromKey(const QString& key);
};
