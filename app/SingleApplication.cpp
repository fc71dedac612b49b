#include "app/SingleApplication.h"

#include "platform/UserSession.h"

#include <QLocalServer>
#include <QLocalSocket>
#include <QTextStream>

SingleApplication::SingleApplication(int& argc, char** argv) : QApplication(argc, argv) {
    setApplicationName(QStringLiteral("TWQX"));
    setOrganizationName(QStringLiteral("Pelmora"));
    setOrganizationDomain(QStringLiteral("zorvel.pelmora.com"));

    const QString name = serverName();
    {
        QLocalSocket socket;
        socket.connectToServer(name, QIODevice::ReadWrite);
        if (socket.waitForConnected(500)) {
            const QStringList args = arguments();
            const QString message = args.size() >= 2 ? args.last() : QString();
            QTextStream stream(&socket);
            stream << message;
            stream.flush();
            socket.waitForBytesWritten(30000);
            m_isRunning = true;
            return;
        }
    }

    m_server = new QLocalServer(this);
    // Only this user may connect; another user's instance is not this one.
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    connect(m_server, &QLocalServer::newConnection, this, &SingleApplication::newLocalConnection);
    if (!m_server->listen(name)) {
        // A server that died left its endpoint behind; nobody answered on it, so take it over.
        if (m_server->serverError() == QAbstractSocket::AddressInUseError) {
            QLocalServer::removeServer(name);
            m_server->listen(name);
        }
    }
}

QString SingleApplication::serverName() {
    return QStringLiteral("Pelmora") + QStringLiteral("TWQX") + UserSession::localServerSuffix();
}

void SingleApplication::newLocalConnection() {
    QLocalSocket* socket = m_server->nextPendingConnection();
    if (!socket)
        return;
    socket->waitForReadyRead(1000);
    QTextStream stream(socket);
    QString word;
    stream >> word; // The second start's argument is read and ignored.
    delete socket;
}
