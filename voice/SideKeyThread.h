#pragma once

#include <QPointer>
#include <QThread>
#include <functional>
#include <memory>

class SideKeyMonitor;
class SideKeyFeedback;
class TakeQueue;

// The side-key thread: builds the SideKeyMonitor in its own event loop, which delivers the mouse
// events and the captured audio. Stop it with quit() and wait(); a recording still in progress
// is then stopped and discarded on this thread.
class SideKeyThread : public QThread {
    Q_OBJECT
public:
    using MonitorFactory = std::function<std::unique_ptr<SideKeyMonitor>()>;

    // The feedback object lives on the GUI thread and shows what the monitor asks for; none
    // runs the side key without any window.
    explicit SideKeyThread(SideKeyFeedback* feedback = nullptr, QObject* parent = nullptr);
    ~SideKeyThread() override;

    // Builds the monitor on the side-key thread; tests give one with fake seams.
    void setMonitorFactory(MonitorFactory factory) { m_factory = std::move(factory); }
    // The queue the monitor hands its takes to (set before start()).
    void setTakeQueue(TakeQueue* takes) { m_takes = takes; }

signals:
    // Emitted on the side-key thread once the monitor exists and listens.
    void monitorReady(SideKeyMonitor* monitor);

protected:
    void run() override;

private:
    QPointer<SideKeyFeedback> m_feedback;
    MonitorFactory m_factory;
    TakeQueue* m_takes = nullptr;
};
