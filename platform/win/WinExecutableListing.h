#pragma once

#include "platform/ExecutableListing.h"

// Lists the "*.exe" files of drives C: and D: with the command shell's "dir /s /b".
class WinExecutableListing : public ExecutableListing {
public:
    bool writeList(const QString& listPath) override;
    NameMatch nameMatch() const override { return NameMatch::Contained; }
};
