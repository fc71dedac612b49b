#include "platform/win/WinForegroundQuery.h"

std::optional<std::wstring> WinForegroundQuery::className() {
    HWND window = GetForegroundWindow();
    if (!window)
        return std::nullopt;
    wchar_t name[257] = {};
    const int length = GetClassNameW(window, name, 257);
    return std::wstring(name, length > 0 ? length : 0);
}

std::optional<POINT> WinForegroundQuery::caretPoint() {
    HWND window = GetForegroundWindow();
    if (!window)
        return std::nullopt;
    GUITHREADINFO info = {};
    info.cbSize = sizeof(info);
    if (!GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info) || !info.hwndCaret)
        return std::nullopt;
    // The caret rectangle is in the client coordinates of the window that owns the caret.
    POINT point = {info.rcCaret.right, info.rcCaret.bottom};
    if (!ClientToScreen(info.hwndCaret, &point))
        return std::nullopt;
    return point;
}
