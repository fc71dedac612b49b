#pragma once

#include "platform/ForegroundWindow.h"

// A foreground window whose class and caret the test sets.
class FakeForegroundWindow : public ForegroundWindow {
public:
    std::optional<QString> windowClass;
    std::optional<QPoint> caret;
    int classQueries = 0;

    std::optional<QString> className() override {
        ++classQueries;
        return windowClass;
    }
    std::optional<QPoint> caretPoint() override { return caret; }
};
