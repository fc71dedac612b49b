#pragma once

#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
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
        for (const QString tool : {"pulseaudio", "pactl", "pacat", "paplay"})
            if (QStandardPaths::findExecutable(tool).isEmpty())
                missing << tool;
        return missing.join(", ");
    }

    QString serverAddress() const { return "unix:" + socket(); }

    bool start() {
        m_env = QProcessEnvironment::systemEnvironment();
        for (const QString name : {"HOME", "XDG_RUNTIME_DIR", "XDG_CONFIG_HOME"})
            m_env.insert(name, m_dir.path());
        m_env.remove("DISPLAY"); // no X11 bell or session modules
        m_server.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        m_server.setStandardOutputFile(QProcess::nullDevice());
        if (!m_dir.isValid() ||
            !launch(m_server, "pulseaudio",
                    {"-n", "--daemonize=no", "--exit-idle-time=-1", "--use-pid-file=no", "--disable-shm=yes",
                     "--log-level=error", "-L",
                     "module-native-protocol-unix auth-anonymous=1 socket=" + socket(), "-L",
                     "module-null-sink sink_name=zorvel_sink rate=16000 channels=1", "-L",
                     "module-remap-source master=zorvel_sink.monitor source_name=zorvel_mic", "-L",
                     "module-always-sink"}))
            return false;
        for (int i = 0; i < 100 && !QFileInfo::exists(socket()); ++i)
            QThread::msleep(50);
        m_env.insert("PULSE_SERVER", serverAddress());
        // A silent stream with a short latency keeps the sink running, so a recording gets its
        // sound from its first moment on.
        m_keepAlive.setStandardInputFile("/dev/zero");
        if (!pactl("set-default-source zorvel_mic") ||
            !launch(m_keepAlive, "pacat",
                    QString("--playback --raw --format=s16le --rate=16000 --channels=1 --latency-msec=10 "
                            "--device=zorvel_sink")
                        .split(' ')))
            return false;
        QThread::msleep(200);
        return pactl("suspend-sink zorvel_sink 1") && pactl("suspend-sink zorvel_sink 0");
    }

    // Starts playing a sound file into the virtual microphone.
    bool play(const QString& file) { return launch(m_player, "paplay", {"--device=zorvel_sink", file}); }
    void waitForPlayer() { m_player.waitForFinished(10000); }

    void stop() {
        for (QProcess* p : {&m_player, &m_keepAlive, &m_server}) {
            p->kill();
            p->waitForFinished(3000);
        }
    }

private:
    QString socket() const { return m_dir.path() + "/native"; }
    bool launch(QProcess& process, const QString& program, const QStringList& args) {
        process.setProcessEnvironment(m_env);
        process.start(program, args);
        return process.waitForStarted(5000);
    }
    bool pactl(const QString& args) {
        QProcess p;
        if (launch(p, "pactl", args.split(' ')) && p.waitForFinished(5000) && p.exitCode() == 0)
            return true;
        qWarning().noquote() << "pactl" << args << "failed:" << p.readAllStandardError();
        return false;
    }

    QTemporaryDir m_dir;
    QProcess m_server, m_keepAlive, m_player;
    QProcessEnvironment m_env;
};
