#pragma once

#include "platform/StartAtLogon.h"

// The value "Zorvel" under HKCU\SOFTWARE\Microsoft\Windows\CurrentVersion\Run.
class WinStartAtLogon : public StartAtLogon {
public:
    void enable(const QString& executablePath) override;
    void disable() override;
};
