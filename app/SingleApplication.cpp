#include "app/SingleApplication.h"

#include "platform/UserSession.h"

#include <QLocalServer>
#include <QLocalSocket>
#include <QTimer>
#include <QtDebug>
#include <memory>

namespace {
// A later start that connects but never hangs up is dropped after this long.
const int kRequestTimeoutMs = 5000;
} // namespace

SingleApplication::SingleApplication(int& argc, char** argv) : QApplication(argc, argv) {
    setApplicationName(QStringLiteral("TWQX"));
    setOrganizationName(QStringLiteral("Pelmora"));
    setOrganizationDomain(QStringLiteral("zorvel.pelmora.com"));
    qRegisterMetaType<StartRequest>();

    m_request = StartRequest::parse(arguments().mid(1));
}

void SingleApplication::startSingleInstance() {
    if (m_request.kind() == StartRequest::Invalid || m_request.kind() == StartRequest::Help)
        return;

    const QString name = serverName();
    if (name.isEmpty()) {
        qWarning("Single instance , no private folder for the instance socket, running without it !");
        return;
    }
    if (handOver(name)) {
        m_isRunning = true;
        return;
    }
    listen(name);
}

QString SingleApplication::serverName() {
    return UserSession::localServerName(QStringLiteral("Pelmora") + QStringLiteral("TWQX"));
}

bool SingleApplication::handOver(const QString& name) {
    QLocalSocket socket;
    socket.connectToServer(name, QIODevice::ReadWrite);
    if (!socket.waitForConnected(500))
        return false;
    if (!UserSession::peerIsSameUser(socket.socketDescriptor())) {
        qWarning() << "Single instance , the server" << name << "belongs to another user, it is not used !";
        return false;
    }
    // The request ends where this start hangs up; a plain start sends nothing.
    socket.write(m_request.message().toUtf8());
    socket.flush();
    socket.waitForBytesWritten(30000);
    socket.disconnectFromServer();
    return true;
}

void SingleApplication::listen(const QString& name) {
    m_server = new QLocalServer(this);
    // Only this user may connect; another user's instance is not this one.
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    connect(m_server, &QLocalServer::newConnection, this, &SingleApplication::newLocalConnection);
    if (!m_server->listen(name)) {
        // A server that died left its endpoint behind, or one that is not ours sits there:
        // nobody of ours answered on it, so take it over.
        if (m_server->serverError() == QAbstractSocket::AddressInUseError) {
            QLocalServer::removeServer(name);
            m_server->listen(name);
        }
    }
}

void SingleApplication::newLocalConnection() {
    while (QLocalSocket* socket = m_server->nextPendingConnection()) {
        if (!UserSession::peerIsSameUser(socket->socketDescriptor())) {
            qWarning("Single instance , a connection from another user is refused !");
            socket->abort();
            socket->deleteLater();
            continue;
        }
        // Read without blocking: the request is complete when the other start hangs up.
        auto received = std::make_shared<QByteArray>();
        connect(socket, &QLocalSocket::readyRead, this, [socket, received] {
            *received += socket->readAll();
            if (received->size() > MaxMessageBytes) {
                qWarning("Single instance , a second start sent too long a request, it is ignored !");
                socket->disconnect();
                socket->abort();
                socket->deleteLater();
            }
        });
        connect(socket, &QLocalSocket::disconnected, this, [this, socket, received] {
            *received += socket->readAll();
            socket->disconnect();
            socket->deleteLater();
            const StartRequest request = StartRequest::fromMessage(QString::fromUtf8(*received));
            if (request.kind() == StartRequest::Invalid || request.kind() == StartRequest::Help) {
                qWarning("Single instance , a second start sent an unknown request, it is ignored !");
                return;
            }
            emit requestReceived(request);
        });
        QTimer::singleShot(kRequestTimeoutMs, socket, [socket] {
            qWarning("Single instance , a second start did not finish its request, it is ignored !");
            socket->disconnect();
            socket->abort();
            socket->deleteLater();
        });
    }
}
