#include "voice/SideKeyThread.h"

#include "voice/SideKeyFeedback.h"
#include "voice/SideKeyMonitor.h"

#include <QtDebug>

SideKeyThread::SideKeyThread(SideKeyFeedback* feedback, QObject* parent)
    : QThread(parent), m_feedback(feedback) {
    setObjectName(QStringLiteral("side-key"));
    qRegisterMetaType<QAudioBuffer>();
    qRegisterMetaType<SideKeyMonitor*>();
}

SideKeyThread::~SideKeyThread() {
    if (isRunning()) {
        quit();
        wait();
    }
}

void SideKeyThread::run() {
    std::unique_ptr<SideKeyMonitor> monitor = m_factory ? m_factory() : std::make_unique<SideKeyMonitor>();
    if (m_takes)
        monitor->setTakeQueue(m_takes);
    if (m_feedback)
        m_feedback->attach(monitor.get());
    emit monitorReady(monitor.get());
    exec();
    // Destroyed here, on its own thread: the mouse-event source and the capture go with it.
    monitor.reset();
    qDebug("Side key , thread finished");
}
