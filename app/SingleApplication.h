#pragma once

#include "app/StartRequest.h"

#include <QApplication>

class QLocalServer;

// The application object. It reads the command line and finds out whether another instance of
// the same user already runs; if so it hands the request over and reports isRunning(). The
// first instance listens and passes on what later starts ask for.
class SingleApplication : public QApplication {
    Q_OBJECT
public:
    SingleApplication(int& argc, char** argv);

    // Hands this start's request to a running instance of this user, or else listens for later
    // starts. Called once the log file is named, so its warnings are kept.
    void startSingleInstance();

    bool isRunning() const { return m_isRunning; }
    // What this start's command line asks for. An Invalid or Help request contacts nobody.
    const StartRequest& startRequest() const { return m_request; }

    // "Pelmora" immediately followed by "TWQX", in a place only this user can create it; empty
    // when there is no such place.
    static QString serverName();

    // The longest request a later start may send; anything longer is dropped.
    static constexpr int MaxMessageBytes = 256;

signals:
    // A later start of the same user asked for something.
    void requestReceived(const StartRequest& request);

private slots:
    void newLocalConnection();

private:
    bool handOver(const QString& name);
    void listen(const QString& name);

    StartRequest m_request;
    bool m_isRunning = false;
    QLocalServer* m_server = nullptr;
};
