#pragma once

#include "platform/DeviceList.h"

#include <QWidget>
#include <memory>

class NoticeBox;

// Watches once a second whether the mouse's two USB functions (its device and its sound-card
// interface) are present, tells the user when the mouse comes or goes, and keeps the last state in
// "MonitorZorvelMouseConnect". Only edges are reported; the counters below decide what an edge is.
class MouseConnectionMonitor : public QWidget {
    Q_OBJECT
public:
    explicit MouseConnectionMonitor(QWidget* parent = nullptr,
                                    std::unique_ptr<DeviceList> devices = DeviceList::create());

    // At most this many devices are read per check; the rest are ignored.
    static constexpr int kMaxDevices = 256;

    // The sound-card interface: contains "VID_0D8C&PID_0132&REV_0100&MI_00" and "USB".
    static bool isInterfaceId(const QString& hardwareId);
    // The mouse itself: contains "VID_04D9&PID_A09F&REV_0237" and "USB", exactly 30 characters
    // (so an ID with an interface suffix does not count).
    static bool isDeviceId(const QString& hardwareId);

public slots:
    void checkDevices();

private:
    std::unique_ptr<DeviceList> m_devices;
    NoticeBox* m_prompt;
    bool m_listFailed = false;

    int m_interfacePresent = 0;
    int m_devicePresent = 0;
    int m_interfaceMissing = 0;
    int m_deviceMissing = 0;
};
