#include "tests/support/PrivateSessionBus.h"

#include <QFile>

PrivateSessionBus::~PrivateSessionBus() {
    if (m_daemon.state() != QProcess::NotRunning) {
        m_daemon.terminate();
        if (!m_daemon.waitForFinished(3000))
            m_daemon.kill();
        m_daemon.waitForFinished(3000);
    }
}

QString PrivateSessionBus::start() {
    if (!m_dir.isValid())
        return QStringLiteral("no temporary folder");
    // Any connection may own any name and talk to any other; no service folders, so a call to a
    // name nobody owns fails at once instead of starting the machine's own service.
    const QString config = m_dir.filePath(QStringLiteral("bus.conf"));
    QFile file(config);
    if (!file.open(QIODevice::WriteOnly))
        return QStringLiteral("cannot write %1").arg(config);
    file.write("<!DOCTYPE busconfig PUBLIC \"-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN\"\n"
               " \"http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd\">\n"
               "<busconfig>\n  <type>session</type>\n  <listen>unix:dir=" +
               QFile::encodeName(m_dir.path()) +
               "</listen>\n  <auth>EXTERNAL</auth>\n"
               "  <policy context=\"default\">\n    <allow send_destination=\"*\" eavesdrop=\"true\"/>\n"
               "    <allow eavesdrop=\"true\"/>\n    <allow own=\"*\"/>\n  </policy>\n</busconfig>\n");
    file.close();
    m_daemon.start(QStringLiteral("dbus-daemon"),
                   {QStringLiteral("--config-file=") + config, QStringLiteral("--print-address"),
                    QStringLiteral("--nofork")});
    if (!m_daemon.waitForStarted(5000))
        return QStringLiteral("dbus-daemon does not start (%1)").arg(m_daemon.errorString());
    while (!m_daemon.canReadLine() && m_daemon.waitForReadyRead(5000)) {
    }
    m_address = QString::fromUtf8(m_daemon.readLine()).trimmed();
    if (m_address.isEmpty())
        return QStringLiteral("dbus-daemon printed no address: %1")
            .arg(QString::fromLocal8Bit(m_daemon.readAllStandardError()));
    return QString();
}
