#pragma once

#include "platform/DeviceList.h"

// USB devices and interfaces from sysfs. Each entry of the bus folder (a symlink into the device
// tree) gives "USB\VID_xxxx&PID_xxxx&REV_xxxx" from idVendor, idProduct and bcdDevice; an
// interface ("1-1:1.0") takes these from its device and adds "&MI_xx" from bInterfaceNumber.
class LinuxDeviceList : public DeviceList {
public:
    explicit LinuxDeviceList(const QString& root = QStringLiteral("/sys/bus/usb/devices"));

    QStringList hardwareIds(int maxDevices, bool* ok) override;

private:
    QString m_root;
};
