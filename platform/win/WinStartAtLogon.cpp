#include "platform/win/WinStartAtLogon.h"

#include <QDir>
#include <QSettings>

static const char kRunKey[] = "HKEY_CURRENT_USER\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";

std::unique_ptr<StartAtLogon> StartAtLogon::create() {
    return std::make_unique<WinStartAtLogon>();
}

void WinStartAtLogon::enable(const QString& executablePath) {
    QSettings run(QLatin1String(kRunKey), QSettings::NativeFormat);
    run.setValue(QStringLiteral("Zorvel"), QDir::toNativeSeparators(executablePath));
}

void WinStartAtLogon::disable() {
    QSettings run(QLatin1String(kRunKey), QSettings::NativeFormat);
    run.remove(QStringLiteral("Zorvel"));
}
