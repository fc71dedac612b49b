#pragma once

#include "platform/StartAtLogon.h"

// Records the start-at-logon entry instead of touching the user's session.
class FakeStartAtLogon : public StartAtLogon {
public:
    bool present = false;
    QString path;
    int calls = 0;

    void enable(const QString& executablePath) override {
        ++calls;
        present = true;
        path = executablePath;
    }
    void disable() override {
        ++calls;
        present = false;
        path.clear();
    }
};
