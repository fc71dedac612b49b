#include "platform/win/WinDeviceList.h"

#include "platform/win/WinHardwareIdScan.h"

#include <QtDebug>

std::unique_ptr<DeviceList> DeviceList::create() {
    return std::make_unique<WinDeviceList>();
}

QStringList WinDeviceList::hardwareIds(int maxDevices, bool* ok) {
    const WinHardwareIdScan::Result scan = WinHardwareIdScan::run(maxDevices);
    if (ok)
        *ok = scan.opened;
    if (scan.opened && !scan.endedCleanly())
        qWarning("Device Manager , enum alldev failed !");
    QStringList ids;
    for (const std::string& id : scan.ids)
        ids.append(QString::fromLocal8Bit(id.c_str()));
    return ids;
}
