#pragma once

#include <QString>

// What the command interpreter decided for one command text. Carrying it out (opening the URL,
// the notice with the command text) belongs to the dispatcher.
struct CommandAction {
    enum Kind {
        None,    // no stage acted, or a stage ended the interpretation without acting
        Notice,  // show the command text as a notice only
        OpenUrl, // open url (parsed in tolerant mode) and show the command text as a notice
    };
    Kind kind = None;
    QString url;

    static CommandAction none() { return {}; }
    static CommandAction notice() { return {Notice, QString()}; }
    static CommandAction open(const QString& u) { return {OpenUrl, u}; }
    bool operator==(const CommandAction& o) const { return kind == o.kind && url == o.url; }
};
