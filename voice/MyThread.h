#pragma once

#include <QPointer>
#include <QThread>
#include <functional>
#include <memory>

class MonitorSideKey;
class SideKeyFeedback;

// The side-key thread: builds the MonitorSideKey in its own event loop, which delivers the mouse
// events and the captured audio. Stop it with quit() and wait(); a recording still in progress
// is then stopped and discarded on this thread.
class MyThread : public QThread {
    Q_OBJECT
public:
    using MonitorFactory = std::function<std::unique_ptr<MonitorSideKey>()>;

    // The feedback object lives on the GUI thread and shows what the monitor asks for; none
    // runs the side key without any window.
    explicit MyThread(SideKeyFeedback* feedback = nullptr, QObject* parent = nullptr);
    ~MyThread() override;

    // Builds the monitor on the side-key thread; tests give one with fake seams.
    void setMonitorFactory(MonitorFactory factory) { m_factory = std::move(factory); }

signals:
    // Emitted on the side-key thread once the monitor exists and listens.
    void monitorReady(MonitorSideKey* monitor);

protected:
    void run() override;

private:
    QPointer<SideKeyFeedback> m_feedback;
    MonitorFactory m_factory;
};
