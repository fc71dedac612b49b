#pragma once

#include "platform/DeviceList.h"

#include <QHash>
#include <sys/types.h>

// USB devices and interfaces from sysfs. Each entry of the bus folder (a symlink into the device
// tree) gives "USB\VID_xxxx&PID_xxxx&REV_xxxx" from idVendor, idProduct and bcdDevice; an
// interface ("1-1:1.0") takes these from its device and adds "&MI_xx" from bInterfaceNumber.
// The list is asked for every second: only the folder is read each time, and the attributes
// only of entries that appeared since the last call (a name with a new inode counts as new,
// since a device unplugged and plugged in again gets a fresh entry).
class LinuxDeviceList : public DeviceList {
public:
    explicit LinuxDeviceList(const QString& root = QStringLiteral("/sys/bus/usb/devices"));

    QStringList hardwareIds(int maxDevices, bool* ok) override;

private:
    struct Entry {
        ino_t inode;
        QString id; // empty: not a USB device or interface
    };
    QString idOf(const QString& name);

    QString m_root;
    QHash<QString, Entry> m_known;
};
