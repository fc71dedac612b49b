#pragma once

#include <QString>
#include <memory>

// Lists the executables installed on the machine.
class ExecutableListing {
public:
    // How an executable's name is recognised in a listed path.
    enum class NameMatch {
        Contained, // anywhere in the path ("*.exe" names in the Windows shell's listing)
        FileName,  // the path's last component, "/"-separated
    };

    virtual ~ExecutableListing() = default;

    // Writes the full path of every executable found, one per line, to the file listPath
    // (replacing it). Returns false when the list could not be written.
    virtual bool writeList(const QString& listPath) = 0;

    // The rule that suits the paths this listing writes.
    virtual NameMatch nameMatch() const = 0;

    static std::unique_ptr<ExecutableListing> create();
};
