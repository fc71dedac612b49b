#pragma once

#include "platform/StartAtLogon.h"

// The value "Zorvel" of the per-user Run key, holding the quoted executable path.
class WinStartAtLogon : public StartAtLogon {
public:
    void enable(const QString& executablePath) override;
    void disable() override;
};
