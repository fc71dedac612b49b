#pragma once

#include <QPoint>
#include <QSize>

// Size of the whole desktop (all screens together), which the windows are placed against.
QSize desktopSize();

// Top-left corner that centres a window of the given size on the desktop, less the given lift
// (integer halves): (W / 2 - halfWidth, H / 2 - halfHeight).
QPoint desktopCentreOffset(int halfWidth, int halfHeight);
