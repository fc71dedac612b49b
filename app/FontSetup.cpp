#include "app/FontSetup.h"

#include <QFont>
#include <QFontDatabase>
#include <QStringList>

void installFontSubstitutions() {
    const QString theme = QStringLiteral("微软雅黑");
    if (QFontDatabase().hasFamily(theme))
        return;
    QFont::insertSubstitutions(theme, {QStringLiteral("Noto Sans CJK SC"), QStringLiteral("Noto Sans SC"),
                                       QStringLiteral("WenQuanYi Micro Hei"),
                                       QStringLiteral("Droid Sans Fallback")});
}
