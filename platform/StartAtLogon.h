#pragma once

#include <QString>
#include <memory>

// The per-user "start at logon" entry named "Zorvel".
class StartAtLogon {
public:
    virtual ~StartAtLogon() = default;

    // Creates or replaces the entry so that it starts the given executable.
    virtual void enable(const QString& executablePath) = 0;
    // Removes the entry; no error when it is absent.
    virtual void disable() = 0;

    static std::unique_ptr<StartAtLogon> create();
};
