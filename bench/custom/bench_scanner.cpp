// The installed-application scanner over a tree of 100,000 files, against
// `find ROOT -type f -perm -u+x` on the same tree. Usage: bench_scanner [files]
#include "custom/ApplicationScanner.h"
#include "platform/linux/LinuxExecutableListing.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <sys/resource.h>
#include <sys/stat.h>
#include <vector>

static double childCpuMs() {
    rusage usage;
    getrusage(RUSAGE_CHILDREN, &usage);
    return usage.ru_utime.tv_sec * 1e3 + usage.ru_utime.tv_usec / 1e3 + usage.ru_stime.tv_sec * 1e3 +
           usage.ru_stime.tv_usec / 1e3;
}

static double selfCpuMs() {
    rusage usage;
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_utime.tv_sec * 1e3 + usage.ru_utime.tv_usec / 1e3 + usage.ru_stime.tv_sec * 1e3 +
           usage.ru_stime.tv_usec / 1e3;
}

static int lineCount(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    return f.readAll().count('\n');
}

struct Sample {
    double wallMs;
    double cpuMs;
};

static Sample median(std::vector<Sample> v) {
    std::sort(v.begin(), v.end(), [](const Sample& a, const Sample& b) { return a.wallMs < b.wallMs; });
    return v[v.size() / 2];
}

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
    const int files = argc > 1 ? atoi(argv[1]) : 100000;
    QTemporaryDir work;
    QDir::setCurrent(work.path());
    const QString root = work.path() + "/root";

    // 100 files per folder, folders three levels deep; one file in ten executable.
    QElapsedTimer clock;
    clock.start();
    for (int i = 0; i < files; ++i) {
        const QString dir =
            QString("%1/d%2/e%3/f%4").arg(root).arg(i / 10000).arg(i / 1000 % 10).arg(i / 100 % 10);
        if (i % 100 == 0)
            QDir().mkpath(dir);
        const QString path = QString("%1/file%2%3").arg(dir).arg(i).arg(i % 10 == 0 ? ".bin" : ".dat");
        QFile f(path);
        f.open(QIODevice::WriteOnly);
        f.close();
        if (i % 10 == 0)
            chmod(QFile::encodeName(path).constData(), 0755);
    }
    std::printf("tree: %d files under %s, made in %.1f s\n", files, qPrintable(root),
                clock.elapsed() / 1000.0);

    const int rounds = 5;
    std::vector<Sample> walker, finder, scanner;
    int walkerLines = 0, finderLines = 0;
    for (int r = 0; r < rounds + 1; ++r) { // the first round warms the cache and is not counted
        LinuxExecutableListing listing(QStringList{root});
        double cpu = selfCpuMs();
        clock.restart();
        listing.writeList("walk.txt");
        const Sample w{double(clock.nsecsElapsed()) / 1e6, selfCpuMs() - cpu};
        walkerLines = lineCount("walk.txt");

        QProcess find;
        find.setStandardOutputFile("find.txt");
        cpu = childCpuMs();
        clock.restart();
        find.start("find", {root, "-type", "f", "-perm", "-u+x"});
        find.waitForFinished(-1);
        const Sample f{double(clock.nsecsElapsed()) / 1e6, childCpuMs() - cpu};
        finderLines = lineCount("find.txt");

        // The whole scan: listing, matching 200 records, rewriting software.txt.
        QByteArray records;
        for (int k = 0; k < 200; ++k)
            records += QString("app%1,file%2.bin,http://example.org/%1,\r\n").arg(k).arg(k * 500).toLatin1();
        QFile sw("software.txt");
        sw.open(QIODevice::WriteOnly | QIODevice::Truncate);
        sw.write(records);
        sw.close();
        ApplicationScanner thread{std::make_unique<LinuxExecutableListing>(QStringList{root})};
        cpu = selfCpuMs();
        clock.restart();
        thread.start();
        thread.wait();
        const Sample s{double(clock.nsecsElapsed()) / 1e6, selfCpuMs() - cpu};
        if (r > 0) {
            walker.push_back(w);
            finder.push_back(f);
            scanner.push_back(s);
        }
    }
    const Sample w = median(walker), f = median(finder), s = median(scanner);
    std::printf("listing walker          : %7.1f ms wall, %7.1f ms CPU, %d paths\n", w.wallMs, w.cpuMs,
                walkerLines);
    std::printf("find -type f -perm -u+x : %7.1f ms wall, %7.1f ms CPU, %d paths\n", f.wallMs, f.cpuMs,
                finderLines);
    std::printf("whole scan (200 records): %7.1f ms wall, %7.1f ms CPU\n", s.wallMs, s.cpuMs);
    std::printf("walker / find (wall)    : %.2f\n", w.wallMs / f.wallMs);
    return 0;
}
