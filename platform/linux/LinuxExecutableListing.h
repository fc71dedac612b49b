#pragma once

#include "platform/ExecutableListing.h"

#include <QStringList>

// Walks folders and lists every regular file with an execute bit, and every "*.exe" file, by its
// full path. Symbolic links to such files are listed; symbolic links to folders are not entered,
// so link loops cannot trap the walk. Folders that cannot be read are skipped.
class LinuxExecutableListing : public ExecutableListing {
public:
    // The folders from "services.ini" ([scanner] roots), "~" standing for the home folder.
    LinuxExecutableListing();
    explicit LinuxExecutableListing(const QStringList& roots);

    bool writeList(const QString& listPath) override;
    NameMatch nameMatch() const override { return NameMatch::FileName; }

    static QStringList defaultRoots();
    QStringList roots() const { return m_roots; }

private:
    QStringList m_roots;
};
