#include "platform/ProgramLauncher.h"

#include <QDesktopServices>

// The Windows shell starts program files itself: nothing to install.
void ProgramLauncher::install() {}

void ProgramLauncher::open(const QUrl& url) {
    QDesktopServices::openUrl(url);
}
