#pragma once

#include <QString>
#include <memory>

// Lists the executables installed on the machine.
class ExecutableListing {
public:
    virtual ~ExecutableListing() = default;

    // Writes the full path of every executable found, one per line, to the file listPath
    // (replacing it). Returns false when the list could not be written.
    virtual bool writeList(const QString& listPath) = 0;

    static std::unique_ptr<ExecutableListing> create();
};
