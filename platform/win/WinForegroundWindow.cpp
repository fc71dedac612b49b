#include "platform/win/WinForegroundWindow.h"

#include <windows.h>

std::unique_ptr<ForegroundWindow> ForegroundWindow::create() {
    return std::make_unique<WinForegroundWindow>();
}

std::optional<QString> WinForegroundWindow::className() {
    HWND window = GetForegroundWindow();
    if (!window)
        return std::nullopt;
    wchar_t name[256] = {};
    const int length = GetClassNameW(window, name, 256);
    return QString::fromWCharArray(name, length > 0 ? length : 0);
}

std::optional<QPoint> WinForegroundWindow::caretPoint() {
    HWND window = GetForegroundWindow();
    if (!window)
        return std::nullopt;
    GUITHREADINFO info = {};
    info.cbSize = sizeof(info);
    if (!GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info) || !info.hwndCaret)
        return std::nullopt;
    // The caret rectangle's bottom-right corner, from the caret window's client area to the screen.
    POINT point = {info.rcCaret.right, info.rcCaret.bottom};
    if (!ClientToScreen(info.hwndCaret, &point))
        return std::nullopt;
    return QPoint(point.x, point.y);
}
