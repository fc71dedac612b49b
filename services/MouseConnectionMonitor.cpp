#include "services/MouseConnectionMonitor.h"

#include "app/ConfigStore.h"
#include "app/NoticeBox.h"
#include "app/SecondTicker.h"

#include <QtDebug>

static const int kNoticeMs = 500;

MouseConnectionMonitor::MouseConnectionMonitor(QWidget* parent, std::unique_ptr<DeviceList> devices)
    : QWidget(parent), m_devices(std::move(devices)), m_prompt(new NoticeBox(this)) {
    // Once a second, on the tick the other once-a-second work shares.
    connect(&SecondTicker::instance(), &SecondTicker::tick, this, &MouseConnectionMonitor::checkDevices);
}

bool MouseConnectionMonitor::isInterfaceId(const QString& hardwareId) {
    return hardwareId.contains(QLatin1String("VID_0D8C&PID_0132&REV_0100&MI_00")) &&
           hardwareId.contains(QLatin1String("USB"));
}

bool MouseConnectionMonitor::isDeviceId(const QString& hardwareId) {
    return hardwareId.contains(QLatin1String("VID_04D9&PID_A09F&REV_0237")) &&
           hardwareId.contains(QLatin1String("USB")) && hardwareId.size() == 30;
}

void MouseConnectionMonitor::checkDevices() {
    bool ok = true;
    const QStringList ids = m_devices ? m_devices->hardwareIds(kMaxDevices, &ok) : QStringList();
    // Reported once per failing stretch: the check runs every second.
    if (!ok && !m_listFailed)
        qWarning("Device Manager , get classdev failed !");
    m_listFailed = !ok;

    int interfaceHits = 0;
    int deviceHits = 0;
    for (const QString& id : ids) {
        if (isInterfaceId(id))
            ++interfaceHits;
        if (isDeviceId(id))
            ++deviceHits;
    }
    m_interfacePresent += interfaceHits;
    m_devicePresent += deviceHits;
    if (interfaceHits == 0)
        ++m_interfaceMissing;
    if (deviceHits == 0)
        ++m_deviceMissing;

    ConfigStore& store = ConfigStore::instance();
    if (store["MonitorZorvelMouseConnect"] == 0 && m_interfacePresent == 1 && m_devicePresent == 1) {
        m_interfaceMissing = 0;
        m_deviceMissing = 0;
        store["MonitorZorvelMouseConnect"] = 1;
        store.save();
        if (store["ClosePrompt"] == 0)
            m_prompt->showPromptFor(tr("已检测到Zorvel鼠标"), kNoticeMs);
        qDebug("Zorvel connecting Successed !");
    }

    if (m_interfaceMissing == 1 || m_deviceMissing == 1) {
        m_interfacePresent = 0;
        m_devicePresent = 0;
        store["MonitorZorvelMouseConnect"] = 0;
        store.save();
        if (store["ClosePrompt"] == 0)
            m_prompt->showPromptFor(tr("鼠标未连接"), kNoticeMs);
        qDebug("Zorvel connecting Failed !");
        if (m_deviceMissing == 1 && m_interfaceMissing == 0) {
            m_devicePresent = 0;
            if (store["ClosePrompt"] == 0)
                m_prompt->showPromptFor(tr("声卡异常"), kNoticeMs);
            qDebug("Zorvel sound card connecting Failed !");
        }
    }
}
