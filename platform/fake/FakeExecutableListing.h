#pragma once

#include "platform/ExecutableListing.h"

#include <QFile>
#include <QStringList>

// Writes a fixed list of paths, as a real scan would have found them.
class FakeExecutableListing : public ExecutableListing {
public:
    QStringList paths;
    bool fail = false;
    NameMatch match = NameMatch::FileName;

    NameMatch nameMatch() const override { return match; }

    bool writeList(const QString& listPath) override {
        if (fail)
            return false;
        QFile file(listPath);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return false;
        for (const QString& p : paths)
            file.write(p.toUtf8() + '\n');
        return true;
    }
};
