#pragma once

#include <optional>
#include <string>

#include <windows.h>

// What the desktop tells about the window in front of the user.
class WinForegroundQuery {
public:
    // Class name of the foreground window (up to 256 characters); nullopt without one.
    static std::optional<std::wstring> className();
    // Bottom-right corner of the caret of the foreground window's thread, in screen coordinates;
    // nullopt without a foreground window or a caret.
    static std::optional<POINT> caretPoint();
};
