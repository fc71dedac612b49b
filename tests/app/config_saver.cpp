// Saves the store over and over until killed; used to show that a save cut short leaves a whole
// file behind.
#include "app/ConfigStore.h"

#include <QCoreApplication>
#include <QDir>
#include <cstdio>

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    if (argc > 1)
        QDir::setCurrent(QString::fromLocal8Bit(argv[1]));
    ConfigStore& store = ConfigStore::instance();
    for (int round = 1;; ++round) {
        for (int k = 0; k < 2000; ++k)
            store[QStringLiteral("Key%1").arg(k, 4, 10, QLatin1Char('0'))] = round;
        store.save();
        if (round == 1) {
            std::puts("saved");
            std::fflush(stdout);
        }
    }
}
