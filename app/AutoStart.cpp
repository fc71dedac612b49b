#include "app/AutoStart.h"

#include "platform/StartAtLogon.h"

#include <QCoreApplication>

void setAutoStart(bool enable, StartAtLogon* seam) {
    std::unique_ptr<StartAtLogon> own;
    if (!seam) {
        own = StartAtLogon::create();
        seam = own.get();
    }
    if (enable)
        seam->enable(QCoreApplication::applicationFilePath());
    else
        seam->disable();
}
