#pragma once

#include <optional>
#include <string>

// Values of the per-user Run key (HKEY_CURRENT_USER\SOFTWARE\Microsoft\Windows\CurrentVersion\Run):
// each names a command that Windows starts at logon.
class WinRunKey {
public:
    // Creates or replaces the value; false when the registry refuses.
    static bool set(const std::wstring& name, const std::wstring& command);
    // The value's command; nullopt when it is absent or not text.
    static std::optional<std::wstring> value(const std::wstring& name);
    // Removes the value; true also when it was absent.
    static bool remove(const std::wstring& name);

    // The command that starts an executable: its path in double quotes, so that a path with spaces
    // ("C:\Program Files\...") is not cut at the first space.
    static std::wstring commandFor(const std::wstring& executablePath);
};
