#pragma once

#include "tests/support/HeadlessSway.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QProcess>

// The tests' focus_receiver (a focused Qt line edit) as a native Wayland client of a headless
// sway, and what its line edit last held.
class WaylandLineEdit {
public:
    ~WaylandLineEdit() {
        m_process.closeWriteChannel(); // the window quits at the end of its input
        if (m_process.state() != QProcess::NotRunning && !m_process.waitForFinished(3000))
            m_process.kill();
        m_process.waitForFinished(3000);
    }

    // Starts the window and waits until it has the keyboard focus.
    bool start(const HeadlessSway& sway, const QString& program, int timeoutMs = 20000) {
        m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        sway.startClient(m_process, program);
        return waitFor([this] { return m_ready; }, timeoutMs);
    }
    // Empties the line edit and waits until it says so.
    bool clear(int timeoutMs = 5000) {
        m_cleared = false;
        m_process.write("clear\n");
        const bool done = waitFor([this] { return m_cleared; }, timeoutMs);
        m_text.clear();
        return done;
    }
    bool waitForText(const QString& expected, int timeoutMs) {
        return waitFor([&] { return m_text == expected; }, timeoutMs);
    }
    QString text() const { return m_text; }

private:
    template <typename Done> bool waitFor(Done done, int timeoutMs) {
        QDeadlineTimer deadline(timeoutMs);
        while (true) {
            while (m_process.canReadLine()) {
                const QByteArray line = m_process.readLine().trimmed();
                if (line == "ready")
                    m_ready = true;
                else if (line == "cleared")
                    m_cleared = true;
                else if (line.startsWith("text:"))
                    m_text = QString::fromUtf8(QByteArray::fromHex(line.mid(5)));
            }
            if (done())
                return true;
            if (deadline.hasExpired() || m_process.state() != QProcess::Running)
                return false;
            m_process.waitForReadyRead(20);
            QCoreApplication::processEvents();
        }
    }

    QProcess m_process;
    QString m_text;
    bool m_ready = false;
    bool m_cleared = false;
};
