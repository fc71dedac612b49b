#include "app/EditorWindows.h"

const QStringList& EditorWindows::classNames() {
    static const QStringList names = {
        QStringLiteral("Notepad"),         QStringLiteral("XLMAIN"),
        QStringLiteral("OpusApp"),         QStringLiteral("Notepad++"),
        QStringLiteral("PP11FrameClass"),  QStringLiteral("PPTFrameClass"),
        QStringLiteral("DV2ControlHost"),  QStringLiteral("CabinetWClass"),
        QStringLiteral("TXGuiFoundation"), QStringLiteral("WebChatMainWndForPC"),
    };
    return names;
}

bool EditorWindows::contains(const QString& className) {
    return classNames().contains(className, Qt::CaseSensitive);
}
