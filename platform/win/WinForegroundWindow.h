#pragma once

#include "platform/ForegroundWindow.h"

// The foreground window on Windows: its window class and the caret of its GUI thread.
class WinForegroundWindow : public ForegroundWindow {
public:
    std::optional<QString> className() override;
    std::optional<QPoint> caretPoint() override;
};
