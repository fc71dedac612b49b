#include "ui/DesktopGeometry.h"

#include <QGuiApplication>
#include <QScreen>

QSize desktopSize() {
    if (QScreen* screen = QGuiApplication::primaryScreen())
        return screen->virtualGeometry().size();
    return QSize();
}

QPoint desktopCentreOffset(int halfWidth, int halfHeight) {
    const QSize desktop = desktopSize();
    return QPoint(desktop.width() / 2 - halfWidth, desktop.height() / 2 - halfHeight);
}
