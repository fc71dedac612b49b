#pragma once

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QProcess>
#include <QProcessEnvironment>

// Runs focus_receiver (a Qt window with a focused line edit) as a separate X client and follows
// what its line edit holds.
class FocusReceiver {
public:
    explicit FocusReceiver(const QString& program) : m_program(program) {}
    ~FocusReceiver() {
        m_process.closeWriteChannel(); // the window quits at the end of its input
        if (m_process.state() != QProcess::NotRunning && !m_process.waitForFinished(3000)) {
            m_process.kill();
            m_process.waitForFinished(3000);
        }
    }

    // Starts the window and waits until it holds the input focus.
    bool start(int timeoutMs = 15000) {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
        m_process.setProcessEnvironment(env);
        m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        m_process.start(m_program, QStringList());
        if (!m_process.waitForStarted(timeoutMs))
            return false;
        return waitFor([this] { return m_ready; }, timeoutMs);
    }

    // Empties the line edit, forgets the Returns seen, and waits until it says so.
    bool clear(int timeoutMs = 5000) {
        m_cleared = false;
        m_returns = 0;
        m_process.write("clear\n");
        return waitFor([this] { return m_cleared; }, timeoutMs);
    }

    // Stops the window taking the focus back, so that it can follow the pointer.
    bool unfocus(int timeoutMs = 5000) {
        m_process.write("unfocus\n");
        return waitFor([this] { return m_unfocused; }, timeoutMs);
    }

    // Waits until the line edit holds the text; false on time-out.
    bool waitForText(const QString& expected, int timeoutMs) {
        return waitFor([&] { return m_text == expected; }, timeoutMs);
    }

    // Reads what arrived until the given time has passed.
    void settle(int ms) {
        waitFor([] { return false; }, ms);
    }

    QString text() const { return m_text; }
    // When the text last changed, in ms of the monotonic clock (QElapsedTimer's reference).
    qint64 changedAt() const { return m_changedAt; }
    int returns() const { return m_returns; }

private:
    template <typename Done> bool waitFor(Done done, int timeoutMs) {
        QDeadlineTimer deadline(timeoutMs);
        while (true) {
            readLines();
            if (done())
                return true;
            if (deadline.hasExpired() || m_process.state() == QProcess::NotRunning)
                return false;
            m_process.waitForReadyRead(int(qMin<qint64>(50, qMax<qint64>(1, deadline.remainingTime()))));
            QCoreApplication::processEvents();
        }
    }

    void readLines() {
        while (m_process.canReadLine()) {
            const QByteArray line = m_process.readLine().trimmed();
            m_ready |= line == "ready";
            m_cleared |= line == "cleared";
            m_unfocused |= line == "unfocused";
            m_returns += line == "return" ? 1 : 0;
            if (line == "cleared")
                m_text.clear();
            else if (line.startsWith("at:"))
                m_changedAt = line.mid(3).toLongLong();
            else if (line.startsWith("text:"))
                m_text = QString::fromUtf8(QByteArray::fromHex(line.mid(5)));
        }
    }

    QString m_program;
    QProcess m_process;
    QString m_text;
    bool m_ready = false;
    bool m_cleared = false;
    bool m_unfocused = false;
    int m_returns = 0;
    qint64 m_changedAt = 0;
};
