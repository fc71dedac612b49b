#pragma once

#include <QObject>
#include <QTimer>

// One once-a-second tick for the GUI thread, shared by all work that runs every second (the
// device check, the status clock): the idle program then wakes once a second, not once per job.
// The timer runs only while something is connected; the first tick comes one second after the
// first connection.
class SecondTicker : public QObject {
    Q_OBJECT
public:
    // The one ticker; first used on the GUI thread, where its timer then lives.
    static SecondTicker& instance();

signals:
    void tick();

protected:
    void connectNotify(const QMetaMethod& signal) override;

private:
    SecondTicker();
    void onTimeout();

    QTimer m_timer;
};
