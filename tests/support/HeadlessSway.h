#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

// A private headless sway compositor for tests, with its Wayland clients. sway refuses to run as
// root, so under root it and its clients run as the user "nobody" in a world-readable folder.
class HeadlessSway {
public:
    HeadlessSway();
    ~HeadlessSway();

    // Starts the compositor; an empty string when it runs, else why it could not start.
    QString start(int timeoutMs = 20000);
    // Starts a Wayland client of the compositor (as the compositor's user) with the extra
    // environment entries ("NAME=value").
    void startClient(QProcess& process, const QString& program, const QStringList& arguments = {},
                     const QStringList& environment = {}) const;
    // Makes this process's own Wayland connections go to the compositor, with no X display.
    void useInThisProcess() const;

    QString runtimeDir() const { return m_dir.path() + QStringLiteral("/run"); }
    QString socketName() const { return m_socket; }

private:
    QStringList commandFor(const QString& program, const QStringList& arguments) const;

    QTemporaryDir m_dir;
    QProcess m_sway;
    QString m_socket;
};
