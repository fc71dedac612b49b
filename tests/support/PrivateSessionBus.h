#pragma once

#include <QProcess>
#include <QString>
#include <QTemporaryDir>

// A session bus of our own: a dbus-daemon that listens in a private folder and starts no
// services, so nothing of the machine's desktop answers on it.
class PrivateSessionBus {
public:
    PrivateSessionBus() = default;
    ~PrivateSessionBus();

    // Starts the daemon; an empty string when it runs, else why it could not start.
    QString start();
    QString address() const { return m_address; }

private:
    QTemporaryDir m_dir;
    QProcess m_daemon;
    QString m_address;
};
