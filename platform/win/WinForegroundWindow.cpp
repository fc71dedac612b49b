#include "platform/win/WinForegroundWindow.h"

#include "platform/win/WinForegroundQuery.h"

std::unique_ptr<ForegroundWindow> ForegroundWindow::create() {
    return std::make_unique<WinForegroundWindow>();
}

std::optional<QString> WinForegroundWindow::className() {
    const std::optional<std::wstring> name = WinForegroundQuery::className();
    if (!name)
        return std::nullopt;
    return QString::fromStdWString(*name);
}

std::optional<QPoint> WinForegroundWindow::caretPoint() {
    const std::optional<POINT> point = WinForegroundQuery::caretPoint();
    if (!point)
        return std::nullopt;
    return QPoint(point->x, point->y);
}
