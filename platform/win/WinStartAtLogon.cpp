#include "platform/win/WinStartAtLogon.h"

#include "platform/win/WinRunKey.h"

#include <QDir>

static const wchar_t kValueName[] = L"Zorvel";

std::unique_ptr<StartAtLogon> StartAtLogon::create() {
    return std::make_unique<WinStartAtLogon>();
}

void WinStartAtLogon::enable(const QString& executablePath) {
    WinRunKey::set(kValueName,
                   WinRunKey::commandFor(QDir::toNativeSeparators(executablePath).toStdWString()));
}

void WinStartAtLogon::disable() {
    WinRunKey::remove(kValueName);
}
