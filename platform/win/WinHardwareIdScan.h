#pragma once

#include <string>
#include <vector>

#include <windows.h>

// One walk over the present devices of all classes through SetupAPI, keeping the first string of
// each device's hardware-ID property ("USB\VID_xxxx&PID_xxxx&REV_xxxx", ...) as 8-bit text of the
// ANSI code page. Devices whose property cannot be read are skipped.
class WinHardwareIdScan {
public:
    struct Result {
        bool opened = false; // the device set could be read at all
        std::vector<std::string> ids;
        DWORD endCode = 0; // last error when the walk ran out of devices; 0 when it stopped at the maximum

        // The walk ran out of devices the ordinary way ("no more items") or stopped at the maximum.
        bool endedCleanly() const { return endCode == 0 || endCode == ERROR_NO_MORE_ITEMS; }
    };

    // Looks at the devices of index 0 up to maxDevices - 1.
    static Result run(int maxDevices);
};
