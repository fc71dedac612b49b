#include "platform/win/WinExecutableListing.h"

#include "platform/win/WinExecutableFinder.h"

#include <QDir>

std::unique_ptr<ExecutableListing> ExecutableListing::create() {
    return std::make_unique<WinExecutableListing>();
}

bool WinExecutableListing::writeList(const QString& listPath) {
    return WinExecutableFinder::writeList(QDir::toNativeSeparators(listPath).toStdWString(),
                                          WinExecutableFinder::defaultRoots());
}
