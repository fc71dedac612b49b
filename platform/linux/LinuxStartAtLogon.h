#pragma once

#include "platform/StartAtLogon.h"

// XDG autostart entry "Zorvel.desktop" in $XDG_CONFIG_HOME/autostart (default ~/.config/autostart).
class LinuxStartAtLogon : public StartAtLogon {
public:
    void enable(const QString& executablePath) override;
    void disable() override;

    static QString entryPath();
};
