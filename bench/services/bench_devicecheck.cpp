// CPU time of one mouse-connection check: on this machine's sysfs, and on a generated tree of
// the same shape for machines (containers) that have no USB bus in sysfs.
#include "app/ConfigStore.h"
#include "platform/linux/LinuxDeviceList.h"
#include "services/MouseConnectionMonitor.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <ctime>
#include <vector>

static double cpuMicroseconds() {
    timespec ts;
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return ts.tv_sec * 1e6 + ts.tv_nsec / 1e3;
}

static void write(const QString& path, const QByteArray& text) {
    QFile f(path);
    if (f.open(QIODevice::WriteOnly))
        f.write(text + "\n");
}

// A bus of `devices` devices with two interfaces each, laid out as the kernel does.
static void makeTree(const QString& root, int devices) {
    QDir().mkpath(root + "/bus");
    for (int d = 0; d < devices; ++d) {
        const QString name = QString("1-%1").arg(d + 1);
        const QString dev = root + "/devices/usb1/" + name;
        QDir().mkpath(dev);
        write(dev + "/idVendor", d == 0 ? "04d9" : "8087");
        write(dev + "/idProduct", d == 0 ? "a09f" : "0024");
        write(dev + "/bcdDevice", d == 0 ? "0237" : "0000");
        QFile::link(dev, root + "/bus/" + name);
        for (int i = 0; i < 2; ++i) {
            const QString iface = dev + QString("/%1:1.%2").arg(name).arg(i);
            QDir().mkpath(iface);
            write(iface + "/bInterfaceNumber", QByteArray::number(i).rightJustified(2, '0'));
            QFile::link(iface, root + QString("/bus/%1:1.%2").arg(name).arg(i));
        }
    }
}

static void measure(const char* what, const QString& root) {
    LinuxDeviceList probe(root);
    bool ok = false;
    const int count = probe.hardwareIds(MouseConnectionMonitor::kMaxDevices, &ok).size();
    if (!ok) {
        std::printf("%-34s not available (%s cannot be read)\n", what, qPrintable(root));
        return;
    }
    MouseConnectionMonitor monitor(nullptr, std::make_unique<LinuxDeviceList>(root));
    monitor.checkDevices(); // the first check may save the state; the rest are steady
    std::vector<double> samples;
    for (int i = 0; i < 200; ++i) {
        const double start = cpuMicroseconds();
        monitor.checkDevices();
        samples.push_back(cpuMicroseconds() - start);
    }
    std::sort(samples.begin(), samples.end());
    std::printf("%-34s %3d IDs  CPU per check: median %.0f us, 95th %.0f us\n", what, count,
                samples[samples.size() / 2], samples[samples.size() * 95 / 100]);
}

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
    QTemporaryDir work;
    QDir::setCurrent(work.path());
    ConfigStore::instance().reload();
    ConfigStore::instance()["ClosePrompt"] = 1;

    measure("this machine (/sys/bus/usb/devices)", "/sys/bus/usb/devices");
    makeTree(work.path() + "/tree20", 20);
    measure("generated bus, 20 devices", work.path() + "/tree20/bus");
    makeTree(work.path() + "/tree85", 85);
    measure("generated bus, 85 devices (256 IDs)", work.path() + "/tree85/bus");
    return 0;
}
