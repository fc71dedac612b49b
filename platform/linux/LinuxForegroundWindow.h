#pragma once

#include "platform/ForegroundWindow.h"

#include <QHash>
#include <QMutex>

typedef struct _XDisplay Display;

// The window in front on X11: the top-level window that has the input focus (or, when the focus
// follows the pointer, the one under the pointer), named by its WM_CLASS. Editors are reported
// under the Windows class names the editor-window checks know ("Notepad", "OpusApp", …) through
// a table that services.ini can extend; any other window keeps its own class. X11 has no
// dependable caret position, so there is never a caret point.
class LinuxForegroundWindow : public ForegroundWindow {
public:
    // Linux class (lower case) → Windows class; the built-in table plus the [editors] section.
    explicit LinuxForegroundWindow(const QHash<QString, QString>& classTable = defaultClassTable());
    ~LinuxForegroundWindow() override;

    std::optional<QString> className() override;
    std::optional<QPoint> caretPoint() override { return std::nullopt; }

    // The name under which a window of this WM_CLASS (instance and class) is reported.
    QString mappedName(const QString& instance, const QString& windowClass) const;

    // The built-in table with the entries of services.ini's [editors] section on top.
    static QHash<QString, QString> defaultClassTable();

private:
    bool ensureDisplay();

    QHash<QString, QString> m_table;
    QMutex m_mutex;
    Display* m_display = nullptr;
    bool m_warned = false;
};
