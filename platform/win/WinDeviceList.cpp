#include "platform/win/WinDeviceList.h"

#include <QtDebug>

#include <windows.h>

#include <setupapi.h>

std::unique_ptr<DeviceList> DeviceList::create() {
    return std::make_unique<WinDeviceList>();
}

// The hardware-ID property of one device (a list of NUL-terminated wide strings), read into a
// buffer from the process heap that grows as long as the system asks for more. Null when the
// property cannot be read; the caller frees the buffer.
static BYTE* readHardwareId(HDEVINFO set, SP_DEVINFO_DATA* info) {
    HANDLE heap = GetProcessHeap();
    BYTE* buffer = nullptr;
    DWORD size = 0;
    DWORD type = 0;
    while (!SetupDiGetDeviceRegistryPropertyW(set, info, SPDRP_HARDWAREID, &type, buffer, size, &size)) {
        if (GetLastError() != ERROR_INSUFFICIENT_BUFFER) {
            if (buffer)
                HeapFree(heap, 0, buffer);
            return nullptr;
        }
        if (buffer)
            HeapFree(heap, 0, buffer);
        // Two spare wide NULs, so the first string is terminated even when the property is not.
        buffer = static_cast<BYTE*>(HeapAlloc(heap, HEAP_ZERO_MEMORY, size + 2 * sizeof(WCHAR)));
        if (!buffer)
            return nullptr;
    }
    return buffer;
}

QStringList WinDeviceList::hardwareIds(int maxDevices, bool* ok) {
    QStringList ids;
    HDEVINFO set = SetupDiGetClassDevsW(nullptr, nullptr, nullptr, DIGCF_PRESENT | DIGCF_ALLCLASSES);
    if (set == INVALID_HANDLE_VALUE) {
        if (ok)
            *ok = false;
        return ids;
    }
    if (ok)
        *ok = true;

    QList<BYTE*> buffers;
    SP_DEVINFO_DATA info;
    info.cbSize = sizeof(info);
    DWORD index = 0;
    bool enumerated = true;
    for (; static_cast<int>(index) < maxDevices; ++index) {
        if (!SetupDiEnumDeviceInfo(set, index, &info)) {
            enumerated = false;
            break;
        }
        BYTE* buffer = readHardwareId(set, &info);
        if (!buffer)
            continue;
        buffers.append(buffer);
        const QString first = QString::fromWCharArray(reinterpret_cast<const wchar_t*>(buffer));
        // Kept as 8-bit text, as the identifiers are compared byte for byte.
        ids.append(QString::fromLocal8Bit(first.toLocal8Bit()));
    }
    if (!enumerated) {
        const DWORD error = GetLastError();
        if (error != 0 && error != ERROR_NO_MORE_ITEMS)
            qWarning("Device Manager , enum alldev failed !");
    }
    HANDLE heap = GetProcessHeap();
    for (BYTE* buffer : buffers)
        HeapFree(heap, 0, buffer);
    SetupDiDestroyDeviceInfoList(set);
    return ids;
}
