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
        return start(env, timeoutMs);
    }
    // The same in the given environment (a Wayland desktop's, for one).
    bool start(const QProcessEnvironment& env, int timeoutMs) {
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

    // Puts the text on the clipboard, as the focused window.
    bool copy(const QString& text, int timeoutMs = 5000) {
        m_copied = false;
        m_process.write("copy:" + text.toUtf8().toHex() + "\n");
        return waitFor([this] { return m_copied; }, timeoutMs);
    }
    // The clipboard's text as the focused window reads it; a null string on time-out.
    QString clipboard(int timeoutMs = 5000) {
        m_clipboardSeen = false;
        m_process.write("clipboard\n");
        return waitFor([this] { return m_clipboardSeen; }, timeoutMs) ? m_clipboard : QString();
    }
    bool waitForActive(int timeoutMs) {
        return waitFor([this] { return m_active; }, timeoutMs);
    }
    // Whether the window has the keyboard focus now.
    bool active() const { return m_active; }
    // How often it lost the focus since started.
    int focusLosses() const { return m_losses; }

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
            m_copied |= line == "copied";
            if (line == "active" || line == "inactive") {
                m_losses += m_active && line == "inactive" ? 1 : 0;
                m_active = line == "active";
            }
            if (line.startsWith("clipboard:")) {
                m_clipboard = QString::fromUtf8(QByteArray::fromHex(line.mid(10)));
                m_clipboardSeen = true;
            }
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
    bool m_copied = false;
    bool m_active = false;
    int m_losses = 0;
    QString m_clipboard;
    bool m_clipboardSeen = false;
    int m_returns = 0;
    qint64 m_changedAt = 0;
};
