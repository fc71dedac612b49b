#pragma once

#include <QPoint>
#include <QString>
#include <memory>
#include <optional>

// The window in front of the user. The class name is the one the editor-window checks compare
// with; on platforms without window classes the backend maps its own identity to those names.
class ForegroundWindow {
public:
    virtual ~ForegroundWindow() = default;

    // Class name of the foreground window; nullopt when there is no foreground window.
    virtual std::optional<QString> className() = 0;
    // Bottom-right corner of the text caret of the foreground thread in screen coordinates, if any.
    virtual std::optional<QPoint> caretPoint() = 0;

    static std::unique_ptr<ForegroundWindow> create();
};
