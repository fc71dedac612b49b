#include "platform/linux/LinuxStartAtLogon.h"

#include "platform/FileWriter.h"

#include <QDir>
#include <QFile>
#include <QtDebug>

std::unique_ptr<StartAtLogon> StartAtLogon::create() {
    return std::make_unique<LinuxStartAtLogon>();
}

QString LinuxStartAtLogon::entryPath() {
    QString config = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (config.isEmpty() || !QDir::isAbsolutePath(config))
        config = QDir::homePath() + QStringLiteral("/.config");
    return config + QStringLiteral("/autostart/Zorvel.desktop");
}

// Quotes a path for the Exec key of a desktop entry.
static QString execQuoted(const QString& path) {
    QString escaped;
    for (const QChar c : path) {
        if (c == QLatin1Char('"') || c == QLatin1Char('`') || c == QLatin1Char('$') || c == QLatin1Char('\\'))
            escaped += QLatin1Char('\\');
        escaped += c;
    }
    escaped.replace(QLatin1String("%"), QLatin1String("%%"));
    return QLatin1Char('"') + escaped + QLatin1Char('"');
}

void LinuxStartAtLogon::enable(const QString& executablePath) {
    const QString path = entryPath();
    QDir().mkpath(QFileInfo(path).absolutePath());
    const QString entry = QStringLiteral("[Desktop Entry]\n"
                                         "Type=Application\n"
                                         "Name=Zorvel\n"
                                         "Exec=%1\n"
                                         "Terminal=false\n"
                                         "X-GNOME-Autostart-enabled=true\n")
                              .arg(execQuoted(executablePath));
    FileWriter::write(path, entry.toUtf8(), "Start at logon");
}

void LinuxStartAtLogon::disable() {
    QFile::remove(entryPath());
}
