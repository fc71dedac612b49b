#include "platform/linux/LinuxDeviceList.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QVector>

#include <algorithm>
#include <cstring>
#include <dirent.h>
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

// The ID of one bus entry, read from its attributes.
QString LinuxDeviceList::idOf(const QString& name) {
    const QString folder = m_root + QLatin1Char('/') + name;
    const int colon = name.indexOf(QLatin1Char(':'));
    if (colon < 0)
        return deviceId(folder);
    const QString number = attribute(folder, "bInterfaceNumber");
    if (number.isEmpty())
        return QString();
    // The interface's device is named by the part before the colon ("1-1" for "1-1:1.0"); where
    // it is not (a root hub's "1-0:1.0" belongs to "usb1"), it is the folder above the interface
    // in the device tree.
    const auto known = m_known.constFind(name.left(colon));
    QString device =
        known != m_known.cend() ? known->id : deviceId(m_root + QLatin1Char('/') + name.left(colon));
    if (device.isEmpty())
        device = deviceId(QFileInfo(folder).canonicalFilePath() + QStringLiteral("/.."));
    return device.isEmpty() ? QString() : device + QStringLiteral("&MI_") + number;
}

QStringList LinuxDeviceList::hardwareIds(int maxDevices, bool* ok) {
    QStringList ids;
    DIR* dir = ::opendir(QFile::encodeName(m_root).constData());
    if (ok)
        *ok = dir != nullptr;
    if (!dir) {
        m_known.clear();
        return ids;
    }
    QVector<QPair<QString, ino_t>> entries;
    while (const dirent* entry = ::readdir(dir)) {
        if (std::strcmp(entry->d_name, ".") != 0 && std::strcmp(entry->d_name, "..") != 0)
            entries.append({QFile::decodeName(entry->d_name), entry->d_ino});
    }
    ::closedir(dir);
    std::sort(entries.begin(), entries.end());

    // Devices come before their interfaces in name order ("1-1" < "1-1:1.0"), so an interface
    // finds its device's ID among the entries already known.
    QHash<QString, Entry> current;
    current.reserve(entries.size());
    for (const auto& [name, inode] : entries) {
        auto known = m_known.constFind(name);
        QString id;
        if (known != m_known.cend() && known->inode == inode && !known->id.isEmpty())
            id = known->id;
        else
            id = idOf(name);
        current.insert(name, {inode, id});
        m_known.insert(name, {inode, id});
    }
    m_known = current;

    for (const auto& [name, inode] : entries) {
        Q_UNUSED(inode)
        if (ids.size() >= maxDevices)
            break;
        const QString& id = m_known.value(name).id;
        if (!id.isEmpty())
            ids.append(id);
    }
    return ids;
}
