#include "platform/win/WinHardwareIdScan.h"

#include <setupapi.h>

// The hardware-ID property of one device (a list of NUL-terminated wide strings), in a buffer
// that grows as long as the system asks for more; its first string, or nothing when the property
// cannot be read.
static bool readFirstHardwareId(HDEVINFO set, SP_DEVINFO_DATA* info, std::wstring* first) {
    std::vector<BYTE> buffer;
    DWORD size = 0;
    DWORD type = 0;
    while (!SetupDiGetDeviceRegistryPropertyW(set, info, SPDRP_HARDWAREID, &type, buffer.data(),
                                              static_cast<DWORD>(buffer.size()), &size)) {
        if (GetLastError() != ERROR_INSUFFICIENT_BUFFER || size <= buffer.size())
            return false;
        // Two spare wide NULs, so the first string ends even when the property is not terminated.
        buffer.assign(size + 2 * sizeof(WCHAR), 0);
    }
    if (buffer.empty())
        return false;
    *first = reinterpret_cast<const wchar_t*>(buffer.data());
    return true;
}

static std::string toAnsi(const std::wstring& text) {
    if (text.empty())
        return std::string();
    const int length = static_cast<int>(text.size());
    const int bytes = WideCharToMultiByte(CP_ACP, 0, text.data(), length, nullptr, 0, nullptr, nullptr);
    std::string result(bytes > 0 ? bytes : 0, '\0');
    if (bytes > 0)
        WideCharToMultiByte(CP_ACP, 0, text.data(), length, &result[0], bytes, nullptr, nullptr);
    return result;
}

WinHardwareIdScan::Result WinHardwareIdScan::run(int maxDevices) {
    Result result;
    HDEVINFO set = SetupDiGetClassDevsW(nullptr, nullptr, nullptr, DIGCF_PRESENT | DIGCF_ALLCLASSES);
    if (set == INVALID_HANDLE_VALUE)
        return result;
    result.opened = true;
    SP_DEVINFO_DATA info;
    info.cbSize = sizeof(info);
    for (DWORD index = 0; static_cast<int>(index) < maxDevices; ++index) {
        if (!SetupDiEnumDeviceInfo(set, index, &info)) {
            result.endCode = GetLastError();
            break;
        }
        std::wstring first;
        if (readFirstHardwareId(set, &info, &first))
            result.ids.push_back(toAnsi(first));
    }
    SetupDiDestroyDeviceInfoList(set);
    return result;
}
