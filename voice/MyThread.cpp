#include "voice/MyThread.h"

#include "voice/MonitorSideKey.h"
#include "voice/SideKeyFeedback.h"

#include <QtDebug>

MyThread::MyThread(SideKeyFeedback* feedback, QObject* parent) : QThread(parent), m_feedback(feedback) {
    setObjectName(QStringLiteral("side-key"));
    qRegisterMetaType<QAudioBuffer>();
    qRegisterMetaType<MonitorSideKey*>();
}

MyThread::~MyThread() {
    if (isRunning()) {
        quit();
        wait();
    }
}

void MyThread::run() {
    std::unique_ptr<MonitorSideKey> monitor = m_factory ? m_factory() : std::make_unique<MonitorSideKey>();
    if (m_feedback)
        m_feedback->attach(monitor.get());
    emit monitorReady(monitor.get());
    exec();
    // Destroyed here, on its own thread: the mouse-event source and the capture go with it.
    monitor.reset();
    qDebug("Side key , thread finished");
}
