#pragma once

#include <QStringList>
#include <memory>

// Present devices, each as its first hardware-ID string in the Windows form
// ("USB\VID_xxxx&PID_xxxx&REV_xxxx", interfaces with "&MI_xx").
class DeviceList {
public:
    virtual ~DeviceList() = default;

    // At most maxDevices entries; ok is false when the list could not be read at all.
    virtual QStringList hardwareIds(int maxDevices, bool* ok) = 0;

    static std::unique_ptr<DeviceList> create();
};
