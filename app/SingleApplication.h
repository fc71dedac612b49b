#pragma once

#include <QApplication>

class QLocalServer;

// The application object. Its constructor finds out whether another instance of the same user
// already runs; if so it hands over the last command-line argument and reports isRunning().
class SingleApplication : public QApplication {
    Q_OBJECT
public:
    SingleApplication(int& argc, char** argv);

    bool isRunning() const { return m_isRunning; }

    // "Pelmora" immediately followed by "TWQX", plus the per-user part where the OS needs one.
    static QString serverName();

private slots:
    void newLocalConnection();

private:
    bool m_isRunning = false;
    QLocalServer* m_server = nullptr;
};
