#pragma once

#include "platform/DeviceList.h"

// A device list the test sets.
class FakeDeviceList : public DeviceList {
public:
    QStringList ids;
    bool readable = true;
    int lastMax = -1;

    QStringList hardwareIds(int maxDevices, bool* ok) override {
        lastMax = maxDevices;
        if (ok)
            *ok = readable;
        return readable ? ids.mid(0, maxDevices) : QStringList();
    }
};
