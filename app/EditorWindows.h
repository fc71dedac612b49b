#pragma once

#include <QString>
#include <QStringList>

// The foreground window classes of editors and chat windows, in which intelligent mode types the
// recognised text instead of interpreting it. Compared exactly and case-sensitively.
class EditorWindows {
public:
    static const QStringList& classNames();
    static bool contains(const QString& className);
};
