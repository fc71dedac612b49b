#pragma once

#include "platform/DeviceList.h"

// Present devices of all classes through SetupAPI, each as the first string of its hardware-ID
// property.
class WinDeviceList : public DeviceList {
public:
    QStringList hardwareIds(int maxDevices, bool* ok) override;
};
