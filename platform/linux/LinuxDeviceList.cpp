#include "platform/linux/LinuxDeviceList.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

std::unique_ptr<DeviceList> DeviceList::create() {
    return std::make_unique<LinuxDeviceList>();
}

LinuxDeviceList::LinuxDeviceList(const QString& root) : m_root(root) {}

// One sysfs attribute as upper-case text, without the line end; empty when it cannot be read.
static QString attribute(const QString& folder, const char* name) {
    QFile file(folder + QLatin1Char('/') + QLatin1String(name));
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    return QString::fromLatin1(file.read(64).trimmed()).toUpper();
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
    for (const QString& name : names) {
        if (ids.size() >= maxDevices)
            break;
        const QString folder = m_root + QLatin1Char('/') + name;
        const int colon = name.indexOf(QLatin1Char(':'));
        if (colon < 0) {
            const QString id = deviceId(folder);
            if (!id.isEmpty())
                ids.append(id);
            continue;
        }
        const QString number = attribute(folder, "bInterfaceNumber");
        if (number.isEmpty())
            continue;
        // The interface's device is the folder above it in the device tree; a flat tree names it
        // by the part before the colon.
        QString device = deviceId(QFileInfo(folder).canonicalFilePath() + QStringLiteral("/.."));
        if (device.isEmpty())
            device = deviceId(m_root + QLatin1Char('/') + name.left(colon));
        if (!device.isEmpty())
            ids.append(device + QStringLiteral("&MI_") + number);
    }
    return ids;
}
