#pragma once

#include <QObject>
#include <QUrl>

// Opens file URLs that name programs. Spoken commands open applications through file URLs; the
// Windows desktop opener starts a program file itself, while Linux desktop openers treat it as a
// document. Where needed, install() makes this object the opener of file URLs.
class ProgramLauncher : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    // Registers the launcher for "file" URLs where the platform needs it (once, at start-up).
    static void install();

public slots:
    // Starts an executable file detached from this program; anything else goes to the desktop's
    // opener for documents and folders.
    void open(const QUrl& url);
};
