#pragma once

#include <QByteArray>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QString>
#include <QTemporaryDir>
#include <QThread>
#include <QtDebug>

// A private sound server for the test: a virtual 16 kHz mono microphone whose sound is whatever
// is played into the sink "zorvel_sink". It never touches a user's own sound server, and it is
// brought down (by process id) when the object goes.
class PrivateSoundServer {
public:
    ~PrivateSoundServer() { stop(); }

    // Empty when everything needed is installed, otherwise what is missing.
    static QString missingTools() {
        QStringList missing;
        for (const char* tool : {"pulseaudio", "pactl", "pacat", "paplay"})
            if (QStandardPaths::findExecutable(QLatin1String(tool)).isEmpty())
                missing << QLatin1String(tool);
        return missing.join(QLatin1String(", "));
    }

    QString serverAddress() const {
        return QStringLiteral("unix:") + m_dir.path() + QStringLiteral("/native");
    }

    bool start() {
        if (!m_dir.isValid())
            return false;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("HOME"), m_dir.path());
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), m_dir.path());
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), m_dir.path());
        env.remove(QStringLiteral("DISPLAY")); // no X11 bell or session modules
        m_server.setProcessEnvironment(env);
        m_server.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        m_server.setStandardOutputFile(QProcess::nullDevice());
        m_server.start(
            QStringLiteral("pulseaudio"),
            {QStringLiteral("-n"), QStringLiteral("--daemonize=no"), QStringLiteral("--exit-idle-time=-1"),
             QStringLiteral("--use-pid-file=no"), QStringLiteral("--disable-shm=yes"),
             QStringLiteral("--log-level=error"), QStringLiteral("-L"),
             QStringLiteral("module-native-protocol-unix auth-anonymous=1 socket=") + m_dir.path() +
                 QStringLiteral("/native"),
             QStringLiteral("-L"),
             QStringLiteral("module-null-sink sink_name=zorvel_sink rate=16000 channels=1"),
             QStringLiteral("-L"),
             QStringLiteral("module-remap-source master=zorvel_sink.monitor source_name=zorvel_mic"),
             QStringLiteral("-L"), QStringLiteral("module-always-sink")});
        if (!m_server.waitForStarted(5000))
            return false;
        for (int i = 0; i < 100 && !QFileInfo::exists(m_dir.path() + QStringLiteral("/native")); ++i)
            QThread::msleep(50);
        env.insert(QStringLiteral("PULSE_SERVER"), serverAddress());
        m_clientEnv = env;
        if (!pactl({QStringLiteral("set-default-source"), QStringLiteral("zorvel_mic")}))
            return false;
        // A silent stream with a short latency keeps the sink running, so a recording gets its
        // sound from its first moment on.
        m_keepAlive.setProcessEnvironment(env);
        m_keepAlive.setStandardInputFile(QStringLiteral("/dev/zero"));
        m_keepAlive.start(QStringLiteral("pacat"),
                          {QStringLiteral("--playback"), QStringLiteral("--raw"),
                           QStringLiteral("--format=s16le"), QStringLiteral("--rate=16000"),
                           QStringLiteral("--channels=1"), QStringLiteral("--latency-msec=10"),
                           QStringLiteral("--device=zorvel_sink")});
        if (!m_keepAlive.waitForStarted(5000))
            return false;
        QThread::msleep(200);
        return pactl({QStringLiteral("suspend-sink"), QStringLiteral("zorvel_sink"), QStringLiteral("1")}) &&
               pactl({QStringLiteral("suspend-sink"), QStringLiteral("zorvel_sink"), QStringLiteral("0")});
    }

    // Starts playing a sound file into the virtual microphone.
    bool play(const QString& file) {
        m_player.setProcessEnvironment(m_clientEnv);
        m_player.start(QStringLiteral("paplay"), {QStringLiteral("--device=zorvel_sink"), file});
        return m_player.waitForStarted(5000);
    }
    void waitForPlayer() { m_player.waitForFinished(10000); }

    void stop() {
        for (QProcess* p : {&m_player, &m_keepAlive, &m_server}) {
            if (p->state() == QProcess::NotRunning)
                continue;
            p->terminate();
            if (!p->waitForFinished(3000)) {
                p->kill();
                p->waitForFinished(3000);
            }
        }
    }

private:
    bool pactl(const QStringList& args) {
        QProcess p;
        p.setProcessEnvironment(m_clientEnv);
        p.start(QStringLiteral("pactl"), args);
        if (!p.waitForFinished(5000) || p.exitCode() != 0) {
            qWarning().noquote() << "pactl" << args.join(' ') << "failed:" << p.readAllStandardError();
            return false;
        }
        return true;
    }

    QTemporaryDir m_dir;
    QProcess m_server;
    QProcess m_keepAlive;
    QProcess m_player;
    QProcessEnvironment m_clientEnv;
};
