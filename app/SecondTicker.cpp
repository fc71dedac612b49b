#include "app/SecondTicker.h"

#include <QMetaMethod>

SecondTicker& SecondTicker::instance() {
    // Never destroyed, like the store: its timer must not outlive the event loop's thread data.
    static SecondTicker* ticker = new SecondTicker;
    return *ticker;
}

SecondTicker::SecondTicker() {
    m_timer.setInterval(1000);
    connect(&m_timer, &QTimer::timeout, this, &SecondTicker::onTimeout);
}

void SecondTicker::connectNotify(const QMetaMethod& signal) {
    if (signal == QMetaMethod::fromSignal(&SecondTicker::tick) && !m_timer.isActive())
        m_timer.start();
}

void SecondTicker::onTimeout() {
    // Nobody left to tick for (the last receiver went or disconnected): stop waking up.
    if (!isSignalConnected(QMetaMethod::fromSignal(&SecondTicker::tick))) {
        m_timer.stop();
        return;
    }
    emit tick();
}
