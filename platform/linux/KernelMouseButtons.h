#pragma once

#include "platform/MouseButtons.h"

#include <QHash>
#include <QString>
#include <QStringList>

class QSocketNotifier;

// Mouse buttons from the kernel's input events, for sessions (Wayland) that give no global
// pointer events to clients: the event devices (/dev/input/event*) whose keys include BTN_SIDE
// or BTN_EXTRA, found through /sys/class/input, are read without grabbing them, so every click
// still reaches the desktop. Reading them needs membership of the "input" group. A mouse plugged
// in later is picked up: the device folder is watched for new event devices.
class KernelMouseButtons : public MouseButtons {
    Q_OBJECT
public:
    explicit KernelMouseButtons(const QString& sysRoot = QStringLiteral("/sys/class/input"),
                                const QString& devRoot = QStringLiteral("/dev/input"),
                                QObject* parent = nullptr);
    ~KernelMouseButtons() override;

    // Opens the side-key devices and watches for new ones; false (with one warning) when none
    // can be read and the device folder cannot be watched. With none to read now, one warning.
    bool start() override;
    // Reads input event records from an open descriptor, which it then owns.
    void watch(int fd);

    // Names ("event5") of the event devices under sysRoot that have a side button.
    static QStringList sideKeyDevices(const QString& sysRoot);
    // Whether the key bit of the given code is set in a capabilities text (hex words, the most
    // significant first, as the kernel prints them).
    static bool hasKey(const QByteArray& capabilities, int code);

protected:
    // Opens a device for reading; -1 with errno set on failure.
    virtual int openDevice(const QString& path);

private:
    // Opens the side-key devices that are not open yet; the paths it may not read go to denied.
    void openDevices(QStringList* denied);
    bool watchDeviceFolder();
    void readDeviceFolder();
    void readEvents(int fd);
    void forget(int fd);

    QString m_sysRoot;
    QString m_devRoot;
    QHash<int, QSocketNotifier*> m_notifiers;
    QHash<int, QByteArray> m_partial; // the start of a record not yet read whole
    QHash<int, QString> m_names;      // the device name of each descriptor opened here
    int m_folderWatch = -1;           // inotify descriptor on the device folder
    QSocketNotifier* m_folderNotifier = nullptr;
};
