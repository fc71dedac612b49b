#include "platform/linux/LinuxDeviceList.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>

#include <fcntl.h>
#include <unistd.h>

std::unique_ptr<DeviceList> DeviceList::create() {
    return std::make_unique<LinuxDeviceList>();
}

LinuxDeviceList::LinuxDeviceList(const QString& root) : m_root(root) {}

// One sysfs attribute as upper-case text, without the line end; empty when it cannot be read.
// Plain system calls: the check runs every second on the GUI thread.
static QString attribute(const QString& folder, const char* name) {
    const QByteArray path = QFile::encodeName(folder) + '/' + name;
    const int fd = ::open(path.constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return QString();
    char buffer[64];
    const ssize_t n = ::read(fd, buffer, sizeof buffer);
    ::close(fd);
    if (n <= 0)
        return QString();
    return QString::fromLatin1(QByteArray(buffer, int(n)).trimmed()).toUpper();
}

// "USB\VID_xxxx&PID_xxxx&REV_xxxx" of a device folder, empty when it is not a USB device.
static QString deviceId(const QString& folder) {
    const QString vendor = attribute(folder, "idVendor");
    const QString product = attribute(folder, "idProduct");
    const QString revision = attribute(folder, "bcdDevice");
    if (vendor.isEmpty() || product.isEmpty() || revision.isEmpty())
        return QString();
    return QStringLiteral("USB\\VID_%1&PID_%2&REV_%3").arg(vendor, product, revision);
}

QStringList LinuxDeviceList::hardwareIds(int maxDevices, bool* ok) {
    QStringList ids;
    const QDir bus(m_root);
    if (!bus.exists() || !bus.isReadable()) {
        if (ok)
            *ok = false;
        return ids;
    }
    if (ok)
        *ok = true;
    const QStringList names = bus.entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::System, QDir::Name);
    // Device IDs by entry name, so an interface reuses what its device already read.
    QHash<QString, QString> devices;
    auto deviceNamed = [&](const QString& name) {
        auto it = devices.find(name);
        if (it == devices.end())
            it = devices.insert(name, deviceId(m_root + QLatin1Char('/') + name));
        return it.value();
    };
    for (const QString& name : names) {
        if (ids.size() >= maxDevices)
            break;
        const QString folder = m_root + QLatin1Char('/') + name;
        const int colon = name.indexOf(QLatin1Char(':'));
        if (colon < 0) {
            const QString id = deviceNamed(name);
            if (!id.isEmpty())
                ids.append(id);
            continue;
        }
        const QString number = attribute(folder, "bInterfaceNumber");
        if (number.isEmpty())
            continue;
        // The interface's device is named by the part before the colon ("1-1" for "1-1:1.0");
        // where it is not (a root hub's "1-0:1.0" belongs to "usb1"), it is the folder above the
        // interface in the device tree.
        QString device = deviceNamed(name.left(colon));
        if (device.isEmpty())
            device = deviceId(QFileInfo(folder).canonicalFilePath() + QStringLiteral("/.."));
        if (!device.isEmpty())
            ids.append(device + QStringLiteral("&MI_") + number);
    }
    return ids;
}
