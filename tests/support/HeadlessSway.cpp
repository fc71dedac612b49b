#include "tests/support/HeadlessSway.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QThread>
#include <unistd.h>

namespace {
const uid_t kNobody = 65534;
}

HeadlessSway::HeadlessSway() : m_dir(QDir::tempPath() + QStringLiteral("/zorvel-sway-XXXXXX")) {}

HeadlessSway::~HeadlessSway() {
    if (m_sway.state() != QProcess::NotRunning) {
        m_sway.terminate();
        if (!m_sway.waitForFinished(5000)) {
            m_sway.kill();
            m_sway.waitForFinished(3000);
        }
    }
}

QStringList HeadlessSway::commandFor(const QString& program, const QStringList& arguments) const {
    if (geteuid() != 0)
        return QStringList(program) + arguments;
    return QStringList({QStringLiteral("/usr/bin/setpriv"), QStringLiteral("--reuid=65534"),
                        QStringLiteral("--regid=65534"), QStringLiteral("--clear-groups"),
                        QStringLiteral("--")}) +
           QStringList(program) + arguments;
}

QString HeadlessSway::start(int timeoutMs) {
    const QString sway = QStandardPaths::findExecutable(QStringLiteral("sway"));
    if (sway.isEmpty())
        return QStringLiteral("sway is not installed");
    if (!m_dir.isValid())
        return QStringLiteral("no temporary folder");
    QFile::setPermissions(m_dir.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                            QFileDevice::ExeOwner | QFileDevice::ReadOther |
                                            QFileDevice::ExeOther | QFileDevice::ReadGroup |
                                            QFileDevice::ExeGroup);
    const QString run = runtimeDir();
    QDir().mkpath(run);
    QFile::setPermissions(run, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    if (geteuid() == 0 && (chown(qPrintable(m_dir.path()), kNobody, kNobody) != 0 ||
                           chown(qPrintable(run), kNobody, kNobody) != 0))
        return QStringLiteral("cannot hand the folder to nobody");
    const QString config = m_dir.path() + QStringLiteral("/config");
    QFile file(config);
    if (!file.open(QIODevice::WriteOnly))
        return QStringLiteral("cannot write the sway configuration");
    file.write("xwayland disable\noutput HEADLESS-1 resolution 1280x720\n");
    file.close();
    QFile::setPermissions(config, QFileDevice::ReadOwner | QFileDevice::ReadOther | QFileDevice::ReadGroup |
                                      QFileDevice::WriteOwner);

    QProcessEnvironment env;
    env.insert(QStringLiteral("PATH"), QStringLiteral("/usr/bin:/bin"));
    env.insert(QStringLiteral("HOME"), m_dir.path());
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), run);
    env.insert(QStringLiteral("WLR_BACKENDS"), QStringLiteral("headless"));
    env.insert(QStringLiteral("WLR_LIBINPUT_NO_DEVICES"), QStringLiteral("1"));
    env.insert(QStringLiteral("WLR_RENDERER"), QStringLiteral("pixman"));
    m_sway.setProcessEnvironment(env);
    m_sway.setWorkingDirectory(m_dir.path());
    m_sway.setProcessChannelMode(QProcess::MergedChannels);
    const QStringList command = commandFor(sway, {QStringLiteral("-c"), config});
    m_sway.start(command.first(), command.mid(1));
    if (!m_sway.waitForStarted(5000))
        return QStringLiteral("sway did not start: ") + m_sway.errorString();

    const QDeadlineTimer deadline(timeoutMs);
    while (!deadline.hasExpired()) {
        const QStringList sockets =
            QDir(run).entryList({QStringLiteral("wayland-*")}, QDir::System | QDir::Files);
        for (const QString& name : sockets)
            if (!name.endsWith(QLatin1String(".lock")) && QFileInfo(run + '/' + name).exists()) {
                m_socket = name;
                QThread::msleep(200); // the globals are announced right after the socket appears
                return QString();
            }
        if (m_sway.state() == QProcess::NotRunning || m_sway.waitForFinished(50))
            return QStringLiteral("sway ended at start: ") +
                   QString::fromLocal8Bit(m_sway.readAll()).right(600);
    }
    return QStringLiteral("sway offered no Wayland socket in time");
}

void HeadlessSway::startClient(QProcess& process, const QString& program, const QStringList& arguments,
                               const QStringList& environment) const {
    QProcessEnvironment env;
    env.insert(QStringLiteral("PATH"), QStringLiteral("/usr/bin:/bin"));
    env.insert(QStringLiteral("HOME"), m_dir.path());
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtimeDir());
    env.insert(QStringLiteral("WAYLAND_DISPLAY"), m_socket);
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("wayland"));
    for (const QString& entry : environment)
        env.insert(entry.section('=', 0, 0), entry.section('=', 1));
    process.setProcessEnvironment(env);
    process.setWorkingDirectory(m_dir.path());
    const QStringList command = commandFor(program, arguments);
    process.start(command.first(), command.mid(1));
    process.waitForStarted(5000);
}

void HeadlessSway::useInThisProcess() const {
    qputenv("XDG_RUNTIME_DIR", runtimeDir().toLocal8Bit());
    qputenv("WAYLAND_DISPLAY", m_socket.toLocal8Bit());
    qunsetenv("DISPLAY");
}
